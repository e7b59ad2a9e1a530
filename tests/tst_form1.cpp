#include "taskstore/scan.h"
#include "windowtest.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

QString credits()
{
    return taskstore::creditsBlock();
}

} // namespace

class TestForm1 : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("DAYVANE")); }

    void startUpView_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("listShown");
        QTest::addColumn<QString>("listText");
        QTest::addColumn<QString>("description"); // what screen readers hear with the window
        QTest::newRow("nothing today")
            << QByteArray("04032026old\r\n") << "Task Dayvane" << false << credits() << QString();
        QTest::newRow("a task today")
            << QByteArray("05032026Pay rent\r\n05032027Pay rent\r\n") << "Today's Task(s)" << true
            << "Pay rent\r\n" + credits() << "1 task due today: Pay rent";
        QByteArray many;
        QString listed;
        for (int i = 0; i < 3000; ++i) {
            many += "05032026Task " + QByteArray::number(i) + "\r\n";
            listed += "Task " + QString::number(i) + "\r\n";
        }
        QTest::newRow("thousands of tasks today")
            << many << "Today's Task(s)" << true << listed + credits()
            << "3000 tasks due today: Task 0; Task 1; Task 2; Task 3; Task 4; Task 5; Task 6; "
               "Task 7; Task 8; Task 9; and 2990 more in the list";
    }
    void startUpView()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, caption);
        QFETCH(bool, listShown);
        QFETCH(QString, listText);
        QFETCH(QString, description);
        TestWindow w(file, false);
        Form1 &f = *w.form;
        // As the program starts it: Windows only focuses a window that asks.
        f.show();
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QCOMPARE(f.windowTitle(), caption);
        QCOMPARE(f.Text5->isVisible(), listShown);
        QCOMPARE(listTextOf(f), listText);
        QCOMPARE(f.accessibleDescription(), description);
        QVERIFY(f.Command3->isVisible());
        for (QWidget *always : {(QWidget *)f.Text1, (QWidget *)f.Text4, (QWidget *)f.Command1,
                                (QWidget *)f.Command2, (QWidget *)f.Command4, (QWidget *)f.Label1})
            QVERIFY(always->isVisible());
        QCOMPARE(QApplication::focusWidget(), f.Text1);
        QCOMPARE(w.dir.read(), file); // reading never writes
    }

    void doNotForgetThenTodaysWork()
    {
        TestWindow w("05032026Pay rent\r\n");
        Form1 &f = *w.form;
        f.Command3->setFocus();
        QTest::keyClick(f.Command3, Qt::Key_Space);
        QCOMPARE(f.windowTitle(), "Task Dayvane");
        QVERIFY(!f.Text5->isVisible());
        QVERIFY(!f.Command3->isVisible());
        QCOMPARE(f.accessibleDescription(), QString()); // no list, nothing due to be heard
        // The next task is typed there; a second Space must not bring the list back.
        QCOMPARE(QApplication::focusWidget(), f.Text1);

        QTest::mouseClick(f.Command4, Qt::LeftButton);
        QCOMPARE(f.windowTitle(), "Today's Task(s)");
        QVERIFY(f.Text5->isVisible());
        QVERIFY(f.Command3->isVisible());
        QCOMPARE(listTextOf(f), "Pay rent\r\n" + credits());
    }

    // A scan that finds nothing keeps the list where it was, now holding the credits alone.
    void todaysWorkWithNothingKeepsTheView()
    {
        TestWindow w("05032026Pay rent\r\n");
        Form1 &f = *w.form;
        f.show();
        w.dir.write("04032026old\r\n");
        QTest::mouseClick(f.Command4, Qt::LeftButton);
        QCOMPARE(f.windowTitle(), "Task Dayvane");
        QVERIFY(f.Text5->isVisible());
        QCOMPARE(listTextOf(f), credits());
    }

    // What a press did is heard where the focus goes, as a screen reader speaks the element
    // the focus comes to; the day field's note lasts until the focus leaves it.
    void pressIsHeardWhereTheFocusGoes_data()
    {
        QTest::addColumn<QByteArray>("atStart");
        QTest::addColumn<QByteArray>("atPress");
        QTest::addColumn<bool>("doNotForget");
        QTest::addColumn<bool>("toList");
        QTest::addColumn<QString>("heard");
        const QByteArray due = "05032026Pay rent\r\n", old = "04032026old\r\n";
        QTest::newRow("Do not forget") << due << due << true << false
                                       << "Task Dayvane: the list of today's tasks is put away.";
        QTest::newRow("Today's Work, a task due")
            << old << due << false << true << "1 task due today: Pay rent";
        QTest::newRow("Today's Work, nothing due")
            << old << old << false << false << "Task Dayvane: no tasks fall due today.";
        QTest::newRow("Today's Work, nothing due, list shown")
            << due << old << false << true << "No tasks fall due today";
    }
    void pressIsHeardWhereTheFocusGoes()
    {
        QFETCH(QByteArray, atStart);
        QFETCH(QByteArray, atPress);
        QFETCH(bool, doNotForget);
        QFETCH(bool, toList);
        QFETCH(QString, heard);
        TestWindow w(atStart);
        Form1 &f = *w.form;
        w.dir.write(atPress);
        QPushButton *const button = doNotForget ? f.Command3 : f.Command4;
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Space);
        QWidget *const focus = QApplication::focusWidget();
        QCOMPARE(focus, toList ? static_cast<QWidget *>(f.Text5) : f.Text1);
        QVERIFY2(focus->accessibleDescription().startsWith(heard),
                 qPrintable(focus->accessibleDescription()));
        QTest::keyClick(focus, Qt::Key_Tab);
        QCOMPARE(f.Text1->accessibleDescription(),
                 "Day of the month the task falls due, in two digits");
    }

    void scanTwiceGivesTheSameText()
    {
        TestWindow w("05032026A\r\n05032026B\r\n");
        Form1 &f = *w.form;
        const QString first = listTextOf(f);
        QTest::mouseClick(f.Command4, Qt::LeftButton);
        QCOMPARE(listTextOf(f), first);
        QCOMPARE(first, "A\r\nB\r\n" + credits());
    }

    void layout()
    {
        TestWindow w(QByteArray(), false);
        Form1 &f = *w.form;
        QCOMPARE(f.size(), QSize(368, 369));
        QCOMPARE(f.minimumSize(), f.maximumSize());
        QVERIFY(f.windowFlags().testFlag(Qt::Tool));
        QVERIFY(!f.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(f.testAttribute(Qt::WA_QuitOnClose));
        QCOMPARE(f.Text1->geometry(), QRect(40, 16, 25, 19));
        QCOMPARE(f.Text4->geometry(), QRect(0, 56, 361, 41));
        QCOMPARE(f.Text5->geometry(), QRect(0, 128, 369, 204));
        QCOMPARE(f.Command3->geometry(), QRect(128, 336, 137, 25));
        QCOMPARE(f.Text1->maxLength(), 2);
        QCOMPARE(f.Text2->maxLength(), 2);
        QCOMPARE(f.Text3->maxLength(), 4);
        QCOMPARE(f.Text5->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(f.Text5->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QVERIFY(f.Label1->font().bold() && f.Label2->font().bold() && f.Text5->font().bold());
        QCOMPARE(f.Text1->font().pointSize(), 12);
        QVERIFY(!f.windowIcon().isNull());
        // Labels lie beneath the rest: first in stacking order.
        const auto stack = f.findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        QCOMPARE(stack.indexOf(f.Label1) + stack.indexOf(f.Label2), 1);

        // Every caption fits its element in the font actually used; a label's letters start
        // at the top of its box and end above the field below it.
        const QList<QPushButton *> buttons = {f.Command1, f.Command2, f.Command3, f.Command4};
        for (QPushButton *button : buttons) {
            QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) + 4 <= button->width(),
                     qPrintable(button->text()));
            QVERIFY2(button->fontMetrics().height() <= button->height(),
                     qPrintable(button->text()));
        }
        // Drawn alone, a label shows where its letters are: from the top of its place in the
        // layout, ending above the field below.
        for (const auto &[label, top, below] :
             {std::tuple(f.Label1, 0, f.Text1), std::tuple(f.Label2, 40, f.Text4)}) {
            const QImage drawn = label->grab().toImage();
            QList<int> rows;
            for (int y = 0; y < drawn.height(); ++y) {
                for (int x = 0; x < drawn.width(); ++x) {
                    if (drawn.pixelColor(x, y) == label->palette().color(QPalette::WindowText)) {
                        rows.append(y);
                        break;
                    }
                }
            }
            // On a high-DPI screen the picture has more pixels than the layout.
            const qreal ratio = drawn.devicePixelRatio();
            QVERIFY2(!rows.isEmpty() && qAbs(label->y() + rows.first() / ratio - top) <= 1,
                     qPrintable(label->text()));
            QVERIFY2(label->y() + rows.last() / ratio < below->y(), qPrintable(label->text()));
        }
    }

    void tabOrder()
    {
        TestWindow w("05032026Pay rent\r\n");
        Form1 &f = *w.form;
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        const QList<QWidget *> cycle = {f.Text1,    f.Text2, f.Text3,    f.Text4,    f.Command1,
                                        f.Command2, f.Text5, f.Command3, f.Command4, f.Text1};
        for (qsizetype i = 1; i < cycle.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), cycle[i]);
        }
    }

    void accessibleNames_data()
    {
        QTest::addColumn<QString>("element");
        QTest::addColumn<QString>("name");
        for (const auto &[element, name] : {std::pair{"Text1", "Day"},
                                            {"Text2", "Month"},
                                            {"Text3", "Year"},
                                            {"Text4", "Message"},
                                            {"Text5", "Today's tasks"},
                                            {"Command1", "Save"},
                                            {"Command2", "Close"},
                                            {"Command3", "Do not forget"},
                                            {"Command4", "Today's Work"}})
            QTest::newRow(element) << element << name;
    }
    void accessibleNames()
    {
        QFETCH(QString, element);
        QFETCH(QString, name);
        TestWindow w(QByteArray(), false);
        const QHash<QString, QWidget *> elements = {
            {"Text1", w.form->Text1},       {"Text2", w.form->Text2},
            {"Text3", w.form->Text3},       {"Text4", w.form->Text4},
            {"Text5", w.form->Text5},       {"Command1", w.form->Command1},
            {"Command2", w.form->Command2}, {"Command3", w.form->Command3},
            {"Command4", w.form->Command4}};
        QCOMPARE(elements[element]->accessibleName(), name);
        QVERIFY(elements[element]->accessibleDescription().size() > 10);
    }

    void buttonFacesHaveTheirColours()
    {
        TestWindow w(QByteArray(), false);
        Form1 &f = *w.form;
        f.Text5->show();
        const QImage shot = f.grab().toImage();
        const QList<QPair<QPushButton *, QColor>> faces = {{f.Command1, QColor(128, 255, 128)},
                                                           {f.Command2, QColor(255, 192, 128)},
                                                           {f.Command3, QColor(255, 255, 0)},
                                                           {f.Command4, QColor(255, 255, 0)}};
        for (const auto &[button, colour] : faces) {
            const QPoint inside = button->geometry().topLeft() + QPoint(4, 4);
            QCOMPARE(shot.pixelColor(inside * shot.devicePixelRatio()), colour);
        }
        // The window's own background.
        QCOMPARE(shot.pixelColor(QPoint(2, 360) * shot.devicePixelRatio()), QColor(255, 255, 192));
    }

    void closingTheWindowEndsTheProgram_data()
    {
        QTest::addColumn<bool>("byCloseButton");
        QTest::newRow("window's close button") << false;
        QTest::newRow("Close") << true;
    }
    void closingTheWindowEndsTheProgram()
    {
        QFETCH(bool, byCloseButton);
        TestWindow w("05032026Pay rent\r\n");
        Form1 &f = *w.form;
        f.show();
        QTimer::singleShot(0, &f, [&] {
            if (byCloseButton)
                f.Command2->click();
            else
                f.close();
        });
        bool timedOut = false;
        QTimer::singleShot(5000, [&] {
            timedOut = true;
            QCoreApplication::exit(1);
        });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!timedOut);
        QVERIFY(!f.isVisible());
        QCOMPARE(w.dir.read(), QByteArray("05032026Pay rent\r\n"));
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
