#include "mainwindow/form1.h"
#include "taskstore/scan.h"
#include "windowtest.h"

#include <QPlainTextEdit>

namespace {

const QStringList Empty = {"", "", "", ""};

} // namespace

class TestSave : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("DAYVANE")); }

    void goodSaveWritesOneRecord_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        const QByteArray rent = "05032026Pay rent\r\n";
        QTest::newRow("padded day and month")
            << QStringList{"5", "3", "2026", "Pay rent"} << QByteArray() << rent;
        QTest::newRow("two digits unchanged")
            << QStringList{"12", "11", "2026", "x"} << QByteArray() << QByteArray("12112026x\r\n");
        QTest::newRow("one-character year as typed")
            << QStringList{"5", "3", "7", "x"} << QByteArray() << QByteArray("05037x\r\n");
        QTest::newRow("two-digit year as typed")
            << QStringList{"5", "3", "26", "Pay rent"} << QByteArray()
            << QByteArray("050326Pay rent\r\n");
        QTest::newRow("letters as typed")
            << QStringList{"ab", "c", "yyyy", "m"} << QByteArray() << QByteArray("ab0cyyyym\r\n");
        QTest::newRow("UTF-8") << QStringList{"5", "3", "2026", QString::fromUtf8("Café €")}
                               << QByteArray()
                               << QByteArray("05032026Caf\xc3\xa9 \xe2\x82\xac\r\n");
        QTest::newRow("pasted line breaks become blanks")
            << QStringList{"5", "3", "2026", "Pay\r\nrent\rnow\n"} << QByteArray()
            << QByteArray("05032026Pay  rent now \r\n");
        QTest::newRow("same task twice")
            << QStringList{"5", "3", "2026", "Pay rent"} << rent << rent + rent;
        QTest::newRow("last line without terminator")
            << QStringList{"5", "3", "2026", "Pay rent"} << QByteArray("old") << "old\r\n" + rent;
        QTest::newRow("last line ends in lone LF") << QStringList{"5", "3", "2026", "Pay rent"}
                                                   << QByteArray("old\n") << "old\n\r\n" + rent;
        QTest::newRow("last line ends in lone CR")
            << QStringList{"5", "3", "2026", "Pay rent"} << QByteArray("old\r") << "old\r" + rent;

        // A file with a byte-order mark stays in its encoding.
        const QStringList task = {"5", "3", "2026", "Pay rent"};
        QTest::newRow("UTF-16 LE") << task << withMark(u"01012020old\r\n")
                                   << withMark(u"01012020old\r\n05032026Pay rent\r\n");
        QTest::newRow("UTF-16 BE without final terminator")
            << task << withMark(u"old", QStringConverter::Utf16BE)
            << withMark(u"old\r\n05032026Pay rent\r\n", QStringConverter::Utf16BE);
        QTest::newRow("UTF-16, only the mark")
            << task << QByteArray("\xff\xfe") << withMark(u"05032026Pay rent\r\n");
        QTest::newRow("UTF-8 mark")
            << task << QByteArray("\xef\xbb\xbfold\r\n") << "\xef\xbb\xbfold\r\n" + rent;
        QTest::newRow("UTF-8, only the mark")
            << task << QByteArray("\xef\xbb\xbf") << "\xef\xbb\xbf" + rent;
    }
    void goodSaveWritesOneRecord()
    {
        QFETCH(QStringList, typed);
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        TestWindow w(before);
        const QString caption = w.form->windowTitle();
        w.enter(typed);
        QVERIFY(!w.save().shown); // no confirmation
        QCOMPARE(w.dir.read(), after);
        QCOMPARE(w.fields(), Empty);
        QCOMPARE(w.form->windowTitle(), caption);
    }

    void emptyFieldIsRefused()
    {
        TestWindow w("01012020old\r\n");
        w.form->Text3->setFocus();
        w.enter({"5", "12", "2026", ""});
        const MessageSeen box = w.save();
        QVERIFY(box.shown);
        QCOMPARE(box.text, "something wrong");
        QCOMPARE(box.icon, QMessageBox::NoIcon);
        QVERIFY(box.title.isEmpty()); // so the application's title stands there
        QCOMPARE(box.buttons, QList{QMessageBox::Ok});
        QVERIFY(box.buttonIconsNull);
        QCOMPARE(w.fields(), (QStringList{"05", "12", "2026", ""}));
        QCOMPARE(w.form->focusWidget(), w.form->Text2); // moved on by the padding
        QCOMPARE(w.dir.read(), QByteArray("01012020old\r\n"));

        // Each empty field is refused on its own, and the file stays closed after each.
        for (int empty = 0; empty < 4; ++empty) {
            QStringList typed = {"5", "3", "2026", "Pay rent"};
            typed[empty].clear();
            w.enter(typed);
            QCOMPARE(w.save().text, "something wrong");
        }
        QCOMPARE(w.dir.read(), QByteArray("01012020old\r\n"));

        w.enter({"5", "3", "2026", "Pay rent"});
        QVERIFY(!w.save().shown);
        QCOMPARE(w.dir.read(), QByteArray("01012020old\r\n05032026Pay rent\r\n"));
        QTest::mouseClick(w.form->Command4, Qt::LeftButton);
        QCOMPARE(listTextOf(*w.form), "Pay rent\r\n" + taskstore::creditsBlock());
        QCOMPARE(w.form->windowTitle(), "Today's Task(s)");
    }

    // A UTF-16 file cut in the middle of a character: a record after it would be out of step,
    // so the save says why and keeps both the file and the task.
    void cutUtf16FileIsLeftAlone()
    {
        const QByteArray cut = withMark(u"01012020old\r\n") + 'x';
        TestWindow w(cut);
        w.enter({"5", "3", "2026", "Pay rent"});
        const MessageSeen box = w.save();
        QVERIFY2(box.text.contains("part of a character"), qPrintable(box.text));
        QCOMPARE(w.dir.read(), cut);
        QCOMPARE(w.fields(), (QStringList{"05", "03", "2026", "Pay rent"}));
    }

    // Keys go wherever the focus is, as a person's typing would.
    void dateTypedInOneRun()
    {
        TestWindow w;
        QCOMPARE(QApplication::focusWidget(), w.form->Text1);
        for (const QChar c : QStringLiteral("05032026Pay rent"))
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        QCOMPARE(w.fields(), (QStringList{"05", "03", "2026", "Pay rent"}));
        QCOMPARE(QApplication::focusWidget(), w.form->Text4);

        // Deleting never moves the focus back.
        w.form->Text3->setFocus();
        QTest::keyClick(w.form->Text3, Qt::Key_Backspace);
        QCOMPARE(QApplication::focusWidget(), w.form->Text3);
    }

    // The whole entry from the keyboard: type, Tab to Save, press it.
    void keyboardOnlySave_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
        QTest::newRow("Space") << int(Qt::Key_Space);
    }
    void keyboardOnlySave()
    {
        QFETCH(int, key);
        TestWindow w;
        for (const QChar c : QStringLiteral("05032026Pay rent"))
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); // Enter in a field: nothing
        QCOMPARE(w.dir.read(), QByteArray());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w.form->Command1);
        QTest::keyClick(w.form->Command1, Qt::Key(key));
        QCOMPARE(w.dir.read(), QByteArray("05032026Pay rent\r\n"));
        QCOMPARE(w.fields(), Empty);
    }

    void saveIsListedAtTheNextScan()
    {
        TestWindow w;
        QVERIFY(!w.form->Text5->isVisible());
        w.enter({"5", "3", "2026", "Pay rent"});
        w.save();
        QVERIFY(!w.form->Text5->isVisible()); // the list is not refreshed by a save
        QTest::mouseClick(w.form->Command4, Qt::LeftButton);
        QVERIFY(w.form->Text5->isVisible());
        QCOMPARE(listTextOf(*w.form), "Pay rent\r\n" + taskstore::creditsBlock());
    }
};

QTEST_MAIN(TestSave)
#include "tst_save.moc"
