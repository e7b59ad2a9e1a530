#include "mainwindow/form1.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("DAYVANE"));
    QApplication::setApplicationVersion(QStringLiteral(DAYVANE_VERSION));
    // Ties the window to its launcher and icon on desktops that go by it.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.Dayvane"));
    // A release carries the font the window is laid out in, for desktops that lack it.
    const QDir fonts(QApplication::applicationDirPath() + QStringLiteral("/fonts"));
    for (const QString &font : fonts.entryList({QStringLiteral("*.ttf")}, QDir::Files))
        QFontDatabase::addApplicationFont(fonts.filePath(font));

    Form1 form;
    form.show();
    // Window managers don't always focus a new tool window; typing should go straight in.
    form.activateWindow();
    return QApplication::exec();
}
