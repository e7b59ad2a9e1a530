#include "taskfiles.h"
#include "taskstore/record.h"
#include "taskstore/scan.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <QTest>

using namespace taskstore;

namespace {

const QDate Today(2026, 3, 5);
const Day TodayKey(Today);

ScanResult scan(const ProgramDir &dir, TaskLines &lines)
{
    platform::FileNumbers numbers;
    return scanTaskFile(
        numbers, numbers.freeFile(), dir.taskFile(), [] { return Today; }, lines);
}

} // namespace

class TestTaskStore : public QObject {
    Q_OBJECT

private slots:
    void taskFilePath_data()
    {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QString>("path");
#ifdef Q_OS_WIN
        QTest::newRow("folder") << "C:\\Users\\a"
                                << "C:\\Users\\a\\dayvane.dat";
        QTest::newRow("drive root") << "C:\\"
                                    << "C:\\dayvane.dat";
#else
        QTest::newRow("folder") << "/opt/dayvane"
                                << "/opt/dayvane/dayvane.dat";
        QTest::newRow("root") << "/"
                              << "/dayvane.dat";
#endif
    }
    void taskFilePath()
    {
        QFETCH(QString, dir);
        QFETCH(QString, path);
        QCOMPARE(taskstore::taskFilePath(dir), path);
    }

    void problemEndsInOneFullStop_data()
    {
        QTest::addColumn<QString>("reason");
        QTest::newRow("plain") << "Disk full";
        QTest::newRow("Windows' own text") << "Disk full.";
        QTest::newRow("with a line end") << "Disk full.\r\n";
    }
    void problemEndsInOneFullStop()
    {
        QFETCH(QString, reason);
        QVERIFY(taskstore::fileProblem("f", "written", reason).endsWith("\n\nReason: Disk full."));
    }

    void recordFallsOn_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("falls");
        QTest::newRow("today") << "05032026Pay rent" << true;
        QTest::newRow("next year") << "05032027Pay rent" << false;
        QTest::newRow("other day") << "06032026Pay rent" << false;
        QTest::newRow("other month") << "05042026Pay rent" << false;
        QTest::newRow("date only") << "05032026" << true;
        QTest::newRow("blank after day digit") << "5 032026Call" << true;
        QTest::newRow("mark after day digit") << "5:032026Call" << true;
        QTest::newRow("two-digit year") << "050326Pay rent" << false;
        QTest::newRow("short line") << "0503202" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("sign") << "+5032026" << true;
        QTest::newRow("hex month") << "05&H32026" << false;
        QTest::newRow("hex year") << "0503&H7EA" << false;
        QTest::newRow("dots") << "05.03.2026" << false;
        QTest::newRow("letters") << "ab032026" << false;
    }
    void recordFallsOn()
    {
        QFETCH(QString, line);
        QFETCH(bool, falls);
        QCOMPARE(taskstore::recordFallsOn(line, TodayKey), falls);
        QCOMPARE(lineFallsOn(line.toUtf8(), TodayKey), falls);
    }

    void scanLists_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("listed");
        QTest::addColumn<int>("matches");
        QTest::newRow("empty file") << QByteArray() << "" << 0;
        QTest::newRow("one of two")
            << QByteArray("05032026Pay rent\r\n05032027Pay rent\r\n") << "Pay rent\r\n"
            << 1;
        QTest::newRow("two in file order")
            << QByteArray("05032026B\r\n01012020x\r\n05032026A\r\n") << "B\r\nA\r\n"
            << 2;
        QTest::newRow("nothing after the date") << QByteArray("05032026\r\n") << "\r\n" << 1;
        QTest::newRow("no final terminator") << QByteArray("05032026Last") << "Last\r\n" << 1;
        QTest::newRow("Windows-1252 message")
            << QByteArray("05032026Caf\xe9\r\n") << QString::fromUtf8("Café\r\n") << 1;
        QTest::newRow("UTF-16 LE")
            << withMark(u"05032026Pay rent\r\n01012020x\r\n05032026Caf\u00e9\r\n")
            << QString::fromUtf8("Pay rent\r\nCafé\r\n") << 2;
        QTest::newRow("UTF-16 BE, no final terminator")
            << withMark(u"01012020x\r\n05032026Last", QStringConverter::Utf16BE) << "Last\r\n"
            << 1;
        QTest::newRow("UTF-16, an odd byte last")
            << withMark(u"05032026Pay rent\r\n") + 'x' << "Pay rent\r\n"
            << 1;
        QTest::newRow("UTF-8 mark") << QByteArray("\xef\xbb\xbf"
                                                  "05032026First\r\n")
                                    << "First\r\n"
                                    << 1;
    }
    void scanLists()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, listed);
        QFETCH(int, matches);
        ProgramDir dir;
        dir.write(file);
        TaskLines lines;
        const ScanResult result = scan(dir, lines);
        QCOMPARE(result.listText, listed + creditsBlock());
        QCOMPARE(result.matches, matches);
        QVERIFY(result.error.isEmpty());
    }

    void creditsBlockText()
    {
        QCOMPARE(taskstore::creditsBlock(),
                 "\r\nProgram Developed By:\r\nTarnwick\r\ndayvane@example.org");
    }

    void missingFileIsCreatedEmpty()
    {
        ProgramDir dir;
        TaskLines lines;
        const ScanResult result = scan(dir, lines);
        QVERIFY(QFileInfo::exists(dir.taskFile()));
        QCOMPARE(QFileInfo(dir.taskFile()).size(), 0);
        QCOMPARE(result.listText, taskstore::creditsBlock());
        QCOMPARE(result.matches, 0);
    }

    // Whatever the file holds, it is read to its end without a crash and every line is tested.
    void oddContentIsReadWhole_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("matches");
        QTest::newRow("NUL bytes")
            << QByteArray("05032026a\0b\r\n\0\0\0\r\n05032026c\r\n", 29) << 2;
        QTest::newRow("invalid UTF-8")
            << QByteArray("05032026\xff\xfe\r\n\xc3(05032026\r\n05032026\xc3") << 2;
        QTest::newRow("only CRs") << QByteArray(100000, '\r') << 0;
        QTest::newRow("only LFs") << QByteArray(100000, '\n') << 0;
        QTest::newRow("a 100 MB line") << "05032026" + QByteArray(100 << 20, 'x') << 1;

        QByteArray garbage(1 << 20, Qt::Uninitialized);
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(garbage.data()),
                                      garbage.size() / 4);
        garbage.replace("05032026", "xxxxxxxx");
        QTest::newRow("binary garbage") << garbage + "\r05032026end" << 1;

        QByteArray million;
        million.reserve(13 * 1000000);
        for (int i = 0; i < 1000000; ++i)
            million += i % 1000 == 999 ? "05032026new\r\n" : "04032026old\r\n";
        QTest::newRow("a million lines") << million << 1000;
    }
    void oddContentIsReadWhole()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, matches);
        ProgramDir dir;
        dir.write(file);
        file.clear();
        TaskLines lines;
        const ScanResult result = scan(dir, lines);
        QVERIFY(result.error.isEmpty());
        QCOMPARE(result.listText.count(QLatin1StringView("\r\n")), matches + 3);
        QVERIFY(result.listText.endsWith(taskstore::creditsBlock()));
    }

    // A later scan overwrites the slots it reaches; the others keep the text they had.
    void slotsKeepTheirTextAcrossScans()
    {
        ProgramDir dir;
        TaskLines lines;
        dir.write("first\r\nsecond\r\n" + QByteArray("th\xc3\xadrd") + "\r\n");
        scan(dir, lines);
        dir.write("new\r\n");
        scan(dir, lines);
        scan(dir, lines); // twice, so the storage of the first scan is long gone
        QCOMPARE(lines[0], "new");
        QCOMPARE(lines[1], "second");
        QCOMPARE(lines[2], QString::fromUtf8("th\u00edrd"));
        QCOMPARE(lines[3], QString());
    }

    // A scan running over midnight takes the new day for the lines it reads after it.
    void scanFollowsTheClock()
    {
        QByteArray file = "05032026before\r\n";
        for (int i = 0; i < 3 * 4096; ++i)
            file += "01012020old\r\n";
        file += "06032026after\r\n05032026missed\r\n";
        ProgramDir dir;
        dir.write(file);
        platform::FileNumbers numbers;
        TaskLines lines;
        int reads = 0;
        const auto result = scanTaskFile(
            numbers, 1, dir.taskFile(), [&] { return Today.addDays(reads++ == 0 ? 0 : 1); }, lines);
        QCOMPARE(result.listText, "before\r\nafter\r\n" + creditsBlock());
    }

    // Long files are read to the end; the table keeps the first 64,001 lines.
    void longFilesAreScannedWhole_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("40,000 lines") << 40000;
        QTest::newRow("past the table") << 70000;
    }
    void longFilesAreScannedWhole()
    {
        QFETCH(int, count);
        QByteArray file;
        for (int i = 0; i < count - 1; ++i)
            file += (i == 100 ? "05032026first " : "04032026old ") + QByteArray::number(i) + "\r\n";
        file += "05032026last\r\n";
        ProgramDir dir;
        dir.write(file);
        TaskLines lines;
        const ScanResult result = scan(dir, lines);
        QCOMPARE(result.listText, "first 100\r\nlast\r\n" + taskstore::creditsBlock());
        QCOMPARE(lines[100], "05032026first 100");
        const int lastKept = std::min<int>(count, TaskLines::Slots) - 1;
        QCOMPARE(lines[lastKept], lastKept == count - 1
                                      ? QString("05032026last")
                                      : "04032026old " + QString::number(lastKept));
    }

    // An editor may save the file in another encoding while a save waits for the lock: the
    // record goes in the encoding the file has once the lock is held.
    void recordTakesTheEncodingFoundUnderTheLock_data()
    {
        QTest::addColumn<QByteArray>("opened");
        QTest::addColumn<QByteArray>("rewritten");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("8-bit, then UTF-16")
            << QByteArray("old\r\n") << withMark(u"old\r\n") << withMark(u"old\r\nnew\r\n");
        QTest::newRow("UTF-16, then 8-bit")
            << withMark(u"old\r\n") << QByteArray("old\r\n") << QByteArray("old\r\nnew\r\n");
    }
    void recordTakesTheEncodingFoundUnderTheLock()
    {
        QFETCH(QByteArray, opened);
        QFETCH(QByteArray, rewritten);
        QFETCH(QByteArray, after);
        ProgramDir dir;
        dir.write(opened);
        platform::FileNumbers numbers;
        platform::TextFile file(numbers, numbers.freeFile(), dir.taskFile(),
                                platform::TextFile::Mode::Append);
        dir.write(rewritten);
        QVERIFY(appendRecord(file, QStringLiteral("new\r\n")));
        QCOMPARE(dir.read(), after);
    }
};

QTEST_GUILESS_MAIN(TestTaskStore)
#include "tst_taskstore.moc"
