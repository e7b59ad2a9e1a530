// Drives the real window in a process of its own, for the tests that need more than one
// process or another user: "probe DIR COUNT TAG" saves COUNT tasks whose messages are
// "TAG-1", "TAG-2", ... into the task file in DIR, and prints every message box it meets.
#include "windowtest.h"

#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("DAYVANE"));
    if (argc != 4) {
        std::fprintf(stderr, "usage: probe DIR COUNT TAG\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    const int count = QByteArray(argv[2]).toInt();
    const QString tag = QString::fromLocal8Bit(argv[3]);

    const auto print = [](const MessageSeen &seen) {
        if (seen.shown)
            std::printf("message: %s\n", qPrintable(seen.text));
    };
    Form1 form(dir, [] { return TestWindow::Today; });
    print(catchMessageBox([&] {
        form.show();
        QTest::qWait(20); // a problem met at start-up is shown once the window is up
    }));
    for (int i = 1; i <= count; ++i) {
        enterTask(form, {"5", "3", "2026", tag + u'-' + QString::number(i)});
        print(catchMessageBox([&] { form.Command1->click(); }));
    }
    std::fflush(stdout);
    return 0;
}
