#include "platform/lenient.h"
#include "platform/textfile.h"
#include "taskfiles.h"

#include <QRandomGenerator>
#include <QTest>

using platform::FileNumbers;
using platform::TextFile;

namespace {

QList<QByteArray> readAllLines(const QString &path)
{
    FileNumbers numbers;
    TextFile file(numbers, numbers.freeFile(), path, TextFile::Mode::Input);
    QList<QByteArray> lines;
    while (const auto line = file.readLine())
        lines.append(line->toByteArray());
    return lines;
}

// What the reader must give: the lines as findLineEnd() splits the whole file at once.
QList<QByteArray> splitWhole(QByteArrayView bytes)
{
    QList<QByteArray> lines;
    while (const auto end = platform::findLineEnd(bytes, true)) {
        lines.append(bytes.first(end->length).toByteArray());
        bytes = bytes.sliced(end->next);
    }
    return lines;
}

} // namespace

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    void val_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("two digits") << "05" << 5.0;
        QTest::newRow("one digit") << "5" << 5.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("letters") << "ab" << 0.0;
        QTest::newRow("letter first") << "x5" << 0.0;
        QTest::newRow("trailing letter") << "5x" << 5.0;
        QTest::newRow("blank after") << "5 " << 5.0;
        QTest::newRow("blanks inside") << "2 0 2 6" << 2026.0;
        QTest::newRow("tab and line feed") << "2\t0\n26" << 2026.0;
        QTest::newRow("carriage return stops") << "2\r26" << 2.0;
        QTest::newRow("minus") << "-3" << -3.0;
        QTest::newRow("plus") << "+7" << 7.0;
        QTest::newRow("blank after sign") << "- 5" << -5.0;
        QTest::newRow("two signs") << "--5" << 0.0;
        QTest::newRow("sign alone") << "-" << 0.0;
        QTest::newRow("fraction") << "1.5" << 1.5;
        QTest::newRow("point first") << ".5" << 0.5;
        QTest::newRow("point last") << "5." << 5.0;
        QTest::newRow("point alone") << "." << 0.0;
        QTest::newRow("second point stops") << "1.2.3" << 1.2;
        QTest::newRow("exponent E") << "1E2" << 100.0;
        QTest::newRow("exponent d") << "1d2" << 100.0;
        QTest::newRow("exponent sign") << "2E-1" << 0.2;
        QTest::newRow("exponent plus") << "3e+1" << 30.0;
        QTest::newRow("exponent without digits") << "1E" << 1.0;
        QTest::newRow("exponent sign without digits") << "1E+" << 1.0;
        QTest::newRow("hex") << "&H1F" << 31.0;
        QTest::newRow("hex lower case") << "&h1f" << 31.0;
        QTest::newRow("hex stops at non-digit") << "&H1G" << 1.0;
        QTest::newRow("hex without digits") << "&H" << 0.0;
        QTest::newRow("octal") << "&O17" << 15.0;
        QTest::newRow("octal lower case") << "&o17" << 15.0;
        QTest::newRow("octal stops at 8") << "&O18" << 1.0;
        QTest::newRow("ampersand alone") << "&" << 0.0;
        QTest::newRow("ampersand digits") << "&17" << 0.0;
        QTest::newRow("other digits are not digits") << QString::fromUtf8("\u0661\u0662") << 0.0;
        QTest::newRow("NUL stops") << QString::fromLatin1("1\0"
                                                          "2",
                                                          3)
                                   << 1.0;
    }
    void val()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(platform::val(text), expected);
    }

    void readLine_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<QByteArray>>("lines");
        using L = QList<QByteArray>;
        QTest::newRow("empty file") << QByteArray() << L{};
        QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << L{"a", "b"};
        QTest::newRow("lone CR") << QByteArray("a\rb\r") << L{"a", "b"};
        QTest::newRow("no final terminator") << QByteArray("a\r\nb") << L{"a", "b"};
        QTest::newRow("lone LF stays inside") << QByteArray("a\nb\r\n") << L{"a\nb"};
        QTest::newRow("only LFs") << QByteArray("\n\n") << L{"\n\n"};
        QTest::newRow("only CRs") << QByteArray("\r\r\r") << L{"", "", ""};
        QTest::newRow("empty line") << QByteArray("\r\n") << L{""};
        QTest::newRow("CR then CR LF") << QByteArray("\r\r\n") << L{"", ""};
        QTest::newRow("NUL bytes") << QByteArray("a\0b\r\n", 5) << L{QByteArray("a\0b", 3)};

        // A CR LF split across two blocks of reading is still one terminator.
        const QByteArray first(256 * 1024 - 1, 'x');
        QTest::newRow("CR at block end") << first + "\r\nb" << L{first, "b"};
        const QByteArray longLine(600 * 1024, 'y');
        QTest::newRow("line longer than a block") << longLine + "\rz" << L{longLine, "z"};

        // UTF-16 and a UTF-8 mark: the same lines, as UTF-8 without the mark.
        QTest::newRow("UTF-16 LE") << withMark(u"a\r\nb\nc\rd") << L{"a", "b\nc", "d"};
        QTest::newRow("UTF-16 BE") << withMark(u"\u00e9\r\n\u20ac\r\n", QStringConverter::Utf16BE)
                                   << L{"\xc3\xa9", "\xe2\x82\xac"};
        QTest::newRow("UTF-16, an odd byte last") << withMark(u"a\r\nb") + 'x' << L{"a", "b"};
        QTest::newRow("UTF-16, half a surrogate pair") << QByteArray("\xff\xfe"
                                                                     "a\0\x00\xd8\r\0\n\0b\0",
                                                                     12)
                                                       << L{"a\xef\xbf\xbd", "b"};
        const QString pairs = QString::fromUtf8("a\xf0\x9f\x98\x80").repeated(100000);
        QTest::newRow("UTF-16, pairs across blocks")
            << withMark(pairs + QStringLiteral("\rz")) << L{pairs.toUtf8(), "z"};
        QTest::newRow("UTF-8 mark") << QByteArray("\xef\xbb\xbf"
                                                  "a\r\nb")
                                    << L{"a", "b"};
    }

    // The reader reads in blocks and grows its buffer for long lines; wherever the line ends fall
    // against those, it must split exactly as one pass over the whole file does.
    void readLineMatchesWholeSplit_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        for (const int first :
             {62, 63, 64, 65, 127, 128, 64 * 1024 - 1, 64 * 1024, 128 * 1024 - 1, 256 * 1024 - 1}) {
            for (const auto &[name, end] : {std::pair{"CR LF", "\r\n"}, std::pair{"CR", "\r"},
                                            std::pair{"CR CR LF", "\r\r\n"}}) {
                QTest::addRow("%s after %d bytes", name, first)
                    << QByteArray(first, 'x') + end + "next\r\nlast";
            }
        }
        // Short lines of random length and ending, as in a real file but in every mix.
        QRandomGenerator rng(11);
        for (const int size : {100, 5000, 300000}) {
            QByteArray bytes;
            while (bytes.size() < size) {
                bytes += QByteArray(rng.bounded(80), 'a');
                static const char *const ends[] = {"\r\n", "\r", "\n", "\r\r", "\n\r"};
                bytes += ends[rng.bounded(5)];
            }
            QTest::addRow("random lines, %d bytes", size) << bytes;
        }
    }
    void readLineMatchesWholeSplit()
    {
        QFETCH(QByteArray, bytes);
        ProgramDir dir;
        dir.write(bytes);
        QCOMPARE(readAllLines(dir.taskFile()), splitWhole(bytes));
        dir.write(withMark(QString::fromLatin1(bytes))); // blocks end elsewhere in UTF-16
        QCOMPARE(readAllLines(dir.taskFile()), splitWhole(bytes));
    }
    void readLine()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<QByteArray>, lines);
        ProgramDir dir;
        dir.write(bytes);
        QCOMPARE(readAllLines(dir.taskFile()), lines);
    }

    void decodeLine_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("ASCII") << QByteArray("05032026Pay") << "05032026Pay";
        QTest::newRow("UTF-8") << QByteArray("caf\xc3\xa9 \xe2\x82\xac")
                               << QString::fromUtf8("café €");
        QTest::newRow("Windows-1252") << QByteArray("caf\xe9 \x80") << QString::fromUtf8("café €");
        QTest::newRow("unassigned 1252 byte") << QByteArray("\x81") << QString(QChar(0x81));
        QTest::newRow("cut UTF-8 sequence") << QByteArray("a\xc3") << QString::fromUtf8("aÃ");
        QTest::newRow("surrogate as UTF-8 is invalid")
            << QByteArray("\xed\xa0\x80") << QString::fromUtf8("í\u00a0€");
    }
    void decodeLine()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(platform::decodeLine(bytes), text);
    }

    void fileNumbersAreLowestFree()
    {
        ProgramDir dir;
        FileNumbers numbers;
        QCOMPARE(numbers.freeFile(), qint16(1));
        {
            const TextFile first(numbers, 1, dir.taskFile(), TextFile::Mode::Append);
            QVERIFY(first.isOpen());
            QCOMPARE(numbers.freeFile(), qint16(2));
            const TextFile again(numbers, 1, dir.taskFile(), TextFile::Mode::Input);
            QVERIFY(!again.isOpen()); // a number in use can't be opened twice
        }
        QCOMPARE(numbers.freeFile(), qint16(1));
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
