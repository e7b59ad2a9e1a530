// A failing disk, a busy task file and odd task files: the user is told what went wrong, and
// nothing is lost or left waiting.
#include "platform/osfile.h"
#include "windowtest.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>

#include <thread>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/mount.h>
#endif
#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#include <share.h>
#endif

using namespace std::chrono_literals;

namespace {

#ifdef Q_OS_UNIX
bool isRoot()
{
    return ::geteuid() == 0;
}
#endif

#ifdef Q_OS_UNIX
// Whether another writer could take the task file now.
bool writersMayWrite(const QString &path)
{
    QFile other(path);
    if (!other.open(QIODevice::ReadWrite) || platform::os::lockFile(other.handle(), 0ms))
        return false;
    platform::os::unlockFile(other.handle());
    return true;
}
#endif

#ifdef Q_OS_LINUX
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
#elif defined(Q_OS_UNIX)
// Mounting for a test is Linux only; elsewhere the tests that need it are skipped.
struct Mount {
    static Mount tmpfs(const QString &, int) { return {}; }
    static Mount readOnly(const QString &) { return {}; }
    bool ok() const { return false; }
};
#endif

// A program folder inside the test's own folder, so that something can be mounted on it.
struct Folder {
    ProgramDir base;
    QString path = base.dir.filePath(QStringLiteral("program"));
    QString taskFile = QDir::toNativeSeparators(path + QStringLiteral("/dayvane.dat"));

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
#ifdef Q_OS_UNIX
        QTest::newRow("FIFO") << "fifo";
        QTest::newRow("link to /dev/zero") << "/dev/zero";
        QTest::newRow("link to /dev/full") << "/dev/full";
#endif
    }
    void notARegularFile()
    {
        QFETCH(QString, kind);
        Folder folder;
        if (kind == "folder")
            QVERIFY(QDir().mkdir(folder.taskFile));
#ifdef Q_OS_UNIX
        else if (kind == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(folder.taskFile), 0644), 0);
#endif
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

#ifdef Q_OS_UNIX
    // (On Windows a link made by QFile is a shortcut, which no program opens as the file.)
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

    // (Windows has no read-only folders: their read-only mark is ignored.)
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
#endif

    // A task file that can be read but not written still lists today's tasks.
    void readOnlyTaskFileIsStillListed()
    {
        Folder folder;
        folder.write("05032026Pay rent\r\n");
#ifdef Q_OS_WIN
        // On Windows: another program has it open, letting others read it but not write it.
        const int holder = _wsopen(qUtf16Printable(folder.taskFile), _O_RDONLY, _SH_DENYWR);
        QVERIFY(holder >= 0);
        const auto letGo = qScopeGuard([holder] { _close(holder); });
#else
        std::optional<Mount> mount;
        if (isRoot()) {
            mount.emplace(Mount::readOnly(folder.path));
            if (!mount->ok())
                QSKIP("mounting is not allowed here, so a read-only file can't stop root");
        } else {
            QVERIFY(QFile::setPermissions(folder.taskFile, QFile::ReadOwner));
        }
#endif
        std::unique_ptr<Form1> form;
        QVERIFY(!startWindow(form, folder.path).shown);
        QCOMPARE(form->windowTitle(), "Today's Task(s)");
        QVERIFY(save(*form, Task).text.contains("could not be opened"));
        QCOMPARE(folder.read(), QByteArray("05032026Pay rent\r\n"));
    }

#ifdef Q_OS_WIN
    // A backup, a sync client or a virus scanner has the task file open for a moment, sharing
    // reads only or nothing: the scan at start-up and the save wait for it, as for a lock.
    void heldForAMoment_data()
    {
        QTest::addColumn<int>("sharing");
        QTest::newRow("sharing reads") << _SH_DENYWR;
        QTest::newRow("sharing nothing") << _SH_DENYRW;
    }
    void heldForAMoment()
    {
        QFETCH(int, sharing);
        Folder folder;
        folder.write("05032026Pay rent\r\n");
        const auto holdFor = [&](std::chrono::milliseconds time) {
            const int held = _wsopen(qUtf16Printable(folder.taskFile), _O_RDONLY, sharing);
            return std::pair(held >= 0, std::jthread([held, time] {
                                 std::this_thread::sleep_for(time);
                                 _close(held);
                             }));
        };
        std::unique_ptr<Form1> form;
        {
            const auto [held, holder] = holdFor(1500ms);
            QVERIFY(held);
            QVERIFY(!startWindow(form, folder.path).shown);
        }
        QCOMPARE(form->windowTitle(), "Today's Task(s)");
        {
            const auto [held, holder] = holdFor(1500ms);
            QVERIFY(held);
            const MessageSeen box = save(*form, Task);
            QVERIFY2(!box.shown, qPrintable(box.text));
        }
        QCOMPARE(folder.read(), QByteArray("05032026Pay rent\r\n05032026Pay rent\r\n"));

        // Held for longer than the wait: told as another copy's lock is, in the same words.
        const auto [held, holder] = holdFor(3000ms);
        QVERIFY(held);
        const MessageSeen box = save(*form, Task);
        QVERIFY2(box.text.contains("another program is using it"), qPrintable(box.text));
    }
#endif

#ifdef Q_OS_LINUX
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

#endif

    // Another program holds the task file for as long as it likes: the window still comes up
    // with today's list, Save gives up after a short wait, and works once the file is free.
    void busyTaskFile()
    {
        Folder folder;
        folder.write("05032026Pay rent\r\n");
        QFile holder(folder.taskFile);
        QVERIFY(holder.open(QIODevice::ReadWrite));
        QVERIFY(!platform::os::lockFile(holder.handle(), 0ms));

        std::unique_ptr<Form1> form;
        QVERIFY(!startWindow(form, folder.path).shown);
        QCOMPARE(form->windowTitle(), "Today's Task(s)");
        QElapsedTimer waited;
        waited.start();
        const MessageSeen box = save(*form, Task);
        QVERIFY2(waited.elapsed() < 10000, "Save waited on the other program");
        QVERIFY2(box.text.contains("another program is using it"), qPrintable(box.text));
        QCOMPARE(fieldsOf(*form), Task);

        platform::os::unlockFile(holder.handle());
        QVERIFY(!save(*form, Task).shown);
        QCOMPARE(folder.read(), QByteArray("05032026Pay rent\r\n05032026Pay rent\r\n"));
    }

#ifdef Q_OS_UNIX
    // A limit on file size stops the record part-way: the file is cut back to what it was,
    // and no other copy of the program is kept waiting while the message is up.
    void fileSizeLimitCutsBack()
    {
        Folder folder;
        QByteArray content;
        for (int i = 0; i < 100; ++i)
            content += "01012020old\r\n";
        folder.write(content);
        std::unique_ptr<Form1> form;
        QVERIFY(!startWindow(form, folder.path).shown);

        std::signal(SIGXFSZ, SIG_IGN); // the write fails instead of ending the process
        rlimit before{};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &before), 0);
        rlimit limit = before;
        limit.rlim_cur = rlim_t(content.size() + 10);
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limit), 0);
        const QStringList typed = {"05", "03", "2026", "A message longer than the room left"};
        enterTask(*form, typed);
        bool othersMayWrite = false;
        const MessageSeen box =
            catchMessageBox([&] { form->Command1->click(); },
                            [&] { othersMayWrite = writersMayWrite(folder.taskFile); });
        ::setrlimit(RLIMIT_FSIZE, &before);

        QVERIFY2(box.text.contains("File too large"), qPrintable(box.text));
        QVERIFY(othersMayWrite);
        QCOMPARE(folder.read(), content);
        QCOMPARE(fieldsOf(*form), typed);
        QVERIFY(!catchMessageBox([&] { form->Command1->click(); }).shown);
        QCOMPARE(folder.read(), content + "05032026A message longer than the room left\r\n");
    }
#endif

#ifdef Q_OS_LINUX
    // The record is on disk before the save ends: the program's syncs are watched from inside
    // (a library loaded into it logs each fsync with what the file held then). The first
    // record of a new file syncs its folder too.
    void saveIsSynced()
    {
        Folder folder;
        const QString log = folder.base.dir.filePath("syncs.log");
        QProcess probe;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LD_PRELOAD", SYNC_SPY);
        env.insert("SYNCSPY_LOG", log);
        // A sanitized build wants its runtime first; the spy only wraps one call.
        env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":verify_asan_link_order=0");
        probe.setProcessEnvironment(env);
        probe.start(PROBE_PATH, {folder.path, "2", "A"});
        QVERIFY(probe.waitForFinished(30000));
        QCOMPARE(probe.readAllStandardOutput(), QByteArray());

        QFile f(log);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray syncs = f.readAll();
        const QByteArray file = QFile::encodeName(QFileInfo(folder.taskFile).canonicalFilePath());
        const QByteArray dir = QFile::encodeName(QFileInfo(folder.path).canonicalFilePath());
        // Each record ("05032026A-1" and CR LF) synced once it was written, the folder once.
        for (const QByteArray &expected : {file + " 13\n", file + " 26\n", dir + ' '})
            QVERIFY2(syncs.contains(expected), qPrintable(expected + " not in:\n" + syncs));
        QCOMPARE(syncs.count(dir + ' '), 1);
    }
#endif

#ifdef Q_OS_UNIX
    // Root ignores permission bits, so another user is asked to save into root's folder.
    void anotherUserWithoutPermission()
    {
        const QString setpriv = QStandardPaths::findExecutable("setpriv");
        if (!isRoot() || setpriv.isEmpty())
            QSKIP("needs root and setpriv to run the program as another user");
        Folder folder;
        folder.write("01012020old\r\n");
        QFile::setPermissions(folder.base.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                      QFile::ExeOwner | QFile::ReadOther |
                                                      QFile::ExeOther);

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

#endif

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
