// The yardstick for the program's own start-up: a plain Qt window with the same fields and
// buttons in the same places, and nothing else (no task file, no colours, no fonts).
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(368, 369);
    const auto place = [&](QWidget *w, int x, int y, int width, int height) {
        w->setParent(&window);
        w->setGeometry(x, y, width, height);
    };
    place(new QLabel(QStringLiteral("Date dd/mm/yyyy")), 0, 0, 135, 20);
    place(new QLabel(QStringLiteral("Message to Dayvane")), 0, 40, 361, 17);
    place(new QLineEdit, 40, 16, 25, 19);
    place(new QLineEdit, 64, 16, 25, 19);
    place(new QLineEdit, 88, 16, 49, 19);
    place(new QLineEdit, 0, 56, 361, 41);
    place(new QPushButton(QStringLiteral("Save")), 16, 96, 73, 25);
    place(new QPushButton(QStringLiteral("Close")), 272, 96, 81, 25);
    auto *list = new QPlainTextEdit;
    place(list, 0, 128, 369, 204);
    list->hide();
    place(new QPushButton(QStringLiteral("Do not forget")), 128, 336, 137, 25);
    place(new QPushButton(QStringLiteral("Today's Work")), 128, 96, 113, 25);
    window.show();
    return QApplication::exec();
}
