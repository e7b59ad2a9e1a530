// A failing disk and odd task files: the user is told what went wrong and nothing is lost.
#include "testutil.h"

#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStandardPaths>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isRoot()
{
    return ::geteuid() == 0;
}

// A file system mounted for one test and gone with it. Root only; where mounting is not
// allowed (a container), ok() is false and the test is skipped.
class Mount {
public:
    static Mount tmpfs(const QString &dir, int kib)
    {
        const QByteArray size = "size=" + QByteArray::number(kib) + "k";
        return Mount(dir, ::mount("tmpfs", QFile::encodeName(dir), "tmpfs", 0, size) == 0);
    }
    static Mount readOnly(const QString &dir)
    {
        const QByteArray d = QFile::encodeName(dir);
        if (::mount(d, d, nullptr, MS_BIND, nullptr) != 0)
            return Mount(dir, false);
        Mount m(dir, true);
        m.m_ok = ::mount(nullptr, d, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
        return m;
    }
    Mount(Mount &&other) noexcept : m_dir(other.m_dir), m_ok(std::exchange(other.m_mounted, false))
    {
        m_mounted = m_ok;
    }
    ~Mount()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir), MNT_DETACH);
    }
    bool ok() const { return m_ok; }

private:
    Mount(QString dir, bool mounted) : m_dir(std::move(dir)), m_ok(mounted), m_mounted(mounted) {}
    QString m_dir;
    bool m_ok;
    bool m_mounted;
};

// A program folder inside the test's own folder, so that something can be mounted on it.
struct Folder {
    ProgramDir base;
    QString path = base.dir.filePath(QStringLiteral("program"));
    QString taskFile = path + QStringLiteral("/dayvane.dat");

    Folder() { QDir().mkpath(path); }
    void write(const QByteArray &bytes) const
    {
        QFile f(taskFile);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }
    QByteArray read() const
    {
        QFile f(taskFile);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }
};

// Starts the real window on `dir` and returns what it said on coming up.
MessageSeen startWindow(std::unique_ptr<Form1> &form, const QString &dir)
{
    form = std::make_unique<Form1>(dir, [] { return TestWindow::Today; });
    return catchMessageBox([&] {
        form->show();
        QTest::qWait(30);
    });
}

MessageSeen save(Form1 &form, const QStringList &typed)
{
    enterTask(form, typed);
    return catchMessageBox([&] { form.Command1->click(); });
}

const QStringList Task = {"05", "03", "2026", "Pay rent"};

} // namespace

class TestFailures : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("DAYVANE")); }

    // Never read or written: a folder, a pipe (whose open would block) and devices (which
    // never end, or fill up nothing).
    void notARegularFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("folder") << "folder";
        QTest::newRow("FIFO") << "fifo";
        QTest::newRow("link to /dev/zero") << "/dev/zero";
        QTest::newRow("link to /dev/full") << "/dev/full";
    }
    void notARegularFile()
    {
        QFETCH(QString, kind);
        Folder folder;
        const QByteArray name = QFile::encodeName(folder.taskFile);
        if (kind == "folder")
            QVERIFY(QDir().mkdir(folder.taskFile));
        else if (kind == "fifo")
            QCOMPARE(::mkfifo(name, 0644), 0);
        else
            QVERIFY(QFile::link(kind, folder.taskFile));

        std::unique_ptr<Form1> form;
        const MessageSeen atStart = startWindow(form, folder.path);
        QVERIFY(atStart.shown);
        QVERIFY2(atStart.text.contains(folder.taskFile), qPrintable(atStart.text));
        QVERIFY2(atStart.text.contains("not a regular file"), qPrintable(atStart.text));
        QCOMPARE(atStart.title, "DAYVANE");
        QCOMPARE(form->windowTitle(), "Task Dayvane");
        QVERIFY(!form->Text5->isVisible());

        const MessageSeen atSave = save(*form, Task);
        QVERIFY2(atSave.text.contains("not a regular file"), qPrintable(atSave.text));
        QCOMPARE(fieldsOf(*form), Task);
    }

    void linkToARegularFileIsFollowed()
    {
        Folder folder;
        const QString real = folder.base.dir.filePath("real.dat");
        {
            QFile f(real);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("05032026Pay rent\r\n");
        }
        QVERIFY(QFile::link(real, folder.taskFile));
        std::unique_ptr<Form1> form;
        QVERIFY(!startWindow(form, folder.path).shown);
        QCOMPARE(form->windowTitle(), "Today's Task(s)");
        QVERIFY(!save(*form, {"6", "3", "2026", "Next"}).shown);
        QFile f(real);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("05032026Pay rent\r\n06032026Next\r\n"));
    }

    void readOnlyFolder()
    {
        Folder folder;
        std::optional<Mount> mount;
        if (isRoot()) {
            mount.emplace(Mount::readOnly(folder.path));
            if (!mount->ok())
                QSKIP("mounting is not allowed here, so a read-only folder can't stop root");
        } else {
            QVERIFY(QFile::setPermissions(folder.path, QFile::ReadOwner | QFile::ExeOwner));
        }
        std::unique_ptr<Form1> form;
        const MessageSeen atStart = startWindow(form, folder.path);
        QVERIFY2(atStart.text.contains("could not be created"), qPrintable(atStart.text));
        QVERIFY(atStart.text.contains(folder.taskFile));
        QVERIFY(atStart.text.contains(isRoot() ? "Read-only file system" : "Permission denied"));
        QCOMPARE(form->windowTitle(), "Task Dayvane");
        QVERIFY(form->isVisible() && !form->Text5->isVisible());

        const MessageSeen atSave = save(*form, Task);
        QVERIFY2(atSave.text.contains("could not be opened"), qPrintable(atSave.text));
        QCOMPARE(fieldsOf(*form), Task);
        QVERIFY(!QFileInfo::exists(folder.taskFile));
        if (!isRoot())
            QFile::setPermissions(folder.path,
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // A task file that can be read but not written still lists today's tasks.
    void readOnlyTaskFileIsStillListed()
    {
        Folder folder;
        folder.write("05032026Pay rent\r\n");
        std::optional<Mount> mount;
        if (isRoot()) {
            mount.emplace(Mount::readOnly(folder.path));
            if (!mount->ok())
                QSKIP("mounting is not allowed here, so a read-only file can't stop root");
        } else {
            QVERIFY(QFile::setPermissions(folder.taskFile, QFile::ReadOwner));
        }
        std::unique_ptr<Form1> form;
        QVERIFY(!startWindow(form, folder.path).shown);
        QCOMPARE(form->windowTitle(), "Today's Task(s)");
        QVERIFY(save(*form, Task).text.contains("could not be opened"));
        QCOMPARE(folder.read(), QByteArray("05032026Pay rent\r\n"));
    }

    // The disk fills up: the message says so, the fields keep the task, the file is as it was.
    void fullDisk_data()
    {
        QTest::addColumn<int>("freeInLastPage");
        QTest::newRow("last page full") << 0;
        QTest::newRow("room for part of the record") << 10;
    }
    void fullDisk()
    {
        QFETCH(int, freeInLastPage);
        if (!isRoot())
            QSKIP("only root can mount the small file system that fills up");
        Folder folder;
        const Mount mount = Mount::tmpfs(folder.path, 64);
        if (!mount.ok())
            QSKIP("mounting is not allowed here");

        // Whole lines up to exactly one page less the room we want to leave.
        QByteArray content;
        while (content.size() + 11 <= 4096 - freeInLastPage)
            content += "01012020x\r\n";
        content += QByteArray(4096 - freeInLastPage - content.size() - 2, 'y') + "\r\n";
        folder.write(content);
        {
            QFile filler(folder.path + "/filler");
            QVERIFY(filler.open(QIODevice::WriteOnly));
            const QByteArray block(4096, 'f');
            while (filler.write(block) == block.size() && filler.flush()) {
            }
        }

        std::unique_ptr<Form1> form;
        QVERIFY(!startWindow(form, folder.path).shown); // reading still works
        const QStringList typed = {"05", "03", "2026", "A message longer than the room left"};
        const MessageSeen box = save(*form, typed);
        QVERIFY2(box.text.contains("No space left on device"), qPrintable(box.text));
        QVERIFY(box.text.contains(folder.taskFile));
        QCOMPARE(box.title, "DAYVANE");
        QCOMPARE(box.icon, QMessageBox::Warning);
        QCOMPARE(fieldsOf(*form), typed);
        QCOMPARE(folder.read(), content);

        // Once there is room again, the same press of Save writes the task once.
        QVERIFY(QFile::remove(folder.path + "/filler"));
        QVERIFY(!catchMessageBox([&] { form->Command1->click(); }).shown);
        QCOMPARE(folder.read(), content + "05032026A message longer than the room left\r\n");
        QCOMPARE(fieldsOf(*form), QStringList({"", "", "", ""}));
    }

    // Root ignores permission bits, so another user is asked to save into root's folder.
    void anotherUserWithoutPermission()
    {
        const QString setpriv = QStandardPaths::findExecutable("setpriv");
        if (!isRoot() || setpriv.isEmpty())
            QSKIP("needs root and setpriv to run the program as another user");
        Folder folder;
        folder.write("01012020old\r\n");
        ::chmod(QFile::encodeName(folder.base.path()), 0755);

        QProcess probe;
        probe.start(setpriv, {"--reuid=65534", "--regid=65534", "--clear-groups", PROBE_PATH,
                              folder.path, "1", "A"});
        QVERIFY(probe.waitForFinished(30000));
        const QString out = QString::fromLocal8Bit(probe.readAllStandardOutput());
        if (probe.exitCode() != 0 && out.isEmpty())
            QSKIP("the other user can't run the tests' programs from this folder");
        QVERIFY2(out.contains("Permission denied") && out.contains(folder.taskFile),
                 qPrintable(out));
        QCOMPARE(folder.read(), QByteArray("01012020old\r\n"));
    }

    // Two copies of the program saving at the same moment: every record is there, whole, once.
    void twoCopiesSaveAtOnce()
    {
        Folder folder;
        constexpr int PerCopy = 3000;
        QProcess a, b;
        a.start(PROBE_PATH, {folder.path, QString::number(PerCopy), "A"});
        b.start(PROBE_PATH, {folder.path, QString::number(PerCopy), "B"});
        QVERIFY(a.waitForFinished(120000) && b.waitForFinished(120000));
        QCOMPARE(a.readAllStandardOutput() + b.readAllStandardOutput(), QByteArray());

        const QList<QByteArray> lines = folder.read().split('\n');
        QCOMPARE(lines.size(), 2 * PerCopy + 1);
        QVERIFY(lines.last().isEmpty());
        QSet<QByteArray> seen;
        for (qsizetype i = 0; i + 1 < lines.size(); ++i)
            seen.insert(lines[i]);
        for (const char *tag : {"A", "B"}) {
            for (int i = 1; i <= PerCopy; ++i) {
                const QByteArray record =
                    "05032026" + QByteArray(tag) + '-' + QByteArray::number(i) + '\r';
                QVERIFY2(seen.contains(record), record.constData());
            }
        }
        QCOMPARE(seen.size(), 2 * PerCopy);
    }
};

QTEST_MAIN(TestFailures)
#include "tst_failures.moc"
