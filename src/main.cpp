#include "mainwindow/form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("DAYVANE"));
    QApplication::setApplicationVersion(QStringLiteral(DAYVANE_VERSION));
    // Ties the window to its launcher and icon on desktops that go by it.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.Dayvane"));

    Form1 form;
    form.show();
    // Window managers don't always focus a new tool window; typing should go straight in.
    form.activateWindow();
    return QApplication::exec();
}
