#include <QtGlobal>
#ifndef Q_OS_WIN
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include "FileBytes.h"
#include "QtServices.h"

class TestQtServices : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    // A data folder of its own for each program folder.
    QString ProgramPath(const QString& name) const {
        QDir().mkpath(m_dir.filePath(name));
        return m_dir.filePath(name);
    }

    static void WriteBytes(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), bytes.size());
    }
    // A lock file as a copy writes it, claimed by `pid`.
    static void WriteLockFile(const QString& path, qint64 pid, const QString& app) {
        WriteBytes(
            path,
            QStringLiteral("%1\n%2\n%3\n").arg(pid).arg(app, QSysInfo::machineHostName()).toUtf8());
    }
    // The PID of a process that has ended.
    static qint64 DeadPid() {
        QProcess gone;
        gone.start(QStringLiteral("sleep"), {QStringLiteral("30")});
        gone.waitForStarted(10000);
        const qint64 pid = gone.processId();
        gone.kill();
        gone.waitForFinished(10000);
        return pid;
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void clockGivesToday() {
        const QDate before = QDate::currentDate();
        const QDate today = SystemClock().Today();
        QVERIFY(today == before || today == before.addDays(1));
    }

    // What a power cut, a crash, another program or the machine can leave in the data folder,
    // and whether a copy starts on it; a copy that starts refuses a second one while it can
    // see one at all.
    void lockTableDecidesTheStart_data() {
        QTest::addColumn<QString>("found");
        QTest::addColumn<bool>("starts");
        QTest::addColumn<bool>("detects");
        // clang-format off
        QTest::newRow("no lock file") << "none" << true << true;
        QTest::newRow("empty lock file of a power cut") << "empty" << true << true;
        QTest::newRow("garbage") << "garbage" << true << true;
        QTest::newRow("lock of a copy that died") << "dead" << true << true;
        QTest::newRow("foreign PID: a live other program") << "foreign" << true << true;
        QTest::newRow("unreadable lock file") << "unreadable" << true << true;
        QTest::newRow("FIFO: never opened, no hang") << "fifo" << true << true;
        QTest::newRow("link to a user's file: that file untouched") << "link" << true << true;
        QTest::newRow("hard link to a user's file: that file untouched") << "hardlink" << true << true;
        QTest::newRow("folder in place of the lock file: no file made") << "folder" << true << true;
        QTest::newRow("read-only data folder: no file made") << "read-only" << true << true;
        QTest::newRow("held by a live process") << "held" << false << false;
        QTest::newRow("no data folder: nothing to lock") << "missing" << true << false;
        // clang-format on
    }

    void lockTableDecidesTheStart() {
        QFETCH(QString, found);
        QFETCH(bool, starts);
        QFETCH(bool, detects);
#ifdef Q_OS_WIN
        if (QStringList{u"fifo"_qs, u"link"_qs, u"hardlink"_qs, u"held"_qs, u"unreadable"_qs,
                        u"read-only"_qs}
                .contains(found))
            QSKIP("a Linux file kind or holder: FIFO, symbolic or hard link, mode bits, flock(1)");
#else
        if (found == u"read-only" && geteuid() == 0) QSKIP("root writes into read-only folders");
#endif
        const QString data = ProgramPath(QStringLiteral("table/") + QTest::currentDataTag());
        LockFileInstanceLock lock(found == u"missing" ? data + QStringLiteral("/gone") : data);
        const QString path = lock.LockPath();
        const QString outside = m_dir.filePath(QStringLiteral("user-file.txt"));
        QProcess holder;
        if (found == u"empty") WriteBytes(path, "");
        if (found == u"garbage" || found == u"unreadable") WriteBytes(path, "\xff\x01 lock?\n");
        if (found == u"unreadable") QFile::setPermissions(path, {});
        if (found == u"dead") WriteLockFile(path, DeadPid(), QStringLiteral("hakaron"));
        if (found == u"foreign") WriteLockFile(path, 1, QStringLiteral("systemd"));
#ifndef Q_OS_WIN
        if (found == u"fifo") QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0644), 0);
#endif
        if (found == u"link") {
            WriteBytes(outside, "keep me");
            QVERIFY(QFile::link(outside, path));
        }
#ifndef Q_OS_WIN
        if (found == u"hardlink") {
            WriteBytes(outside, "keep me");
            QCOMPARE(
                ::link(QFile::encodeName(outside).constData(), QFile::encodeName(path).constData()),
                0);
        }
#endif
        if (found == u"folder") QVERIFY(QDir().mkpath(path + QStringLiteral("/inside")));
        if (found == u"read-only") QFile::setPermissions(data, QFile::ReadOwner | QFile::ExeOwner);
        if (found == u"held") {
            // A live copy elsewhere holds the lock file until its input ends.
            holder.start(QStringLiteral("flock"),
                         {QStringLiteral("-n"), QStringLiteral("-o"), path, QStringLiteral("-c"),
                          QStringLiteral("echo held; exec cat")});
            QVERIFY(holder.waitForReadyRead(10000));
        }

        QCOMPARE(lock.TryAcquire(), starts);
        if (starts) QCOMPARE(lock.DetectsSecondCopy(), detects);
        LockFileInstanceLock second(data);
        if (starts && detects) QVERIFY(!second.TryAcquire());
        if (QFileInfo::exists(path) && found != u"folder") QVERIFY(QFileInfo(path).isFile());
        if (found.endsWith(u"link")) QCOMPARE(FileBytes(outside), QByteArray("keep me"));
        if (holder.state() != QProcess::NotRunning) {
            holder.closeWriteChannel();
            QVERIFY(holder.waitForFinished(10000));
            QVERIFY(lock.TryAcquire());  // taken over once the holder is gone
        }
        QFile::setPermissions(data, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void secondCopyOfTheSameProgramIsRefused() {
        const QString program = ProgramPath(QStringLiteral("same/hakaron"));
        {
            LockFileInstanceLock first(program);
            QVERIFY(first.TryAcquire());
            QVERIFY(first.TryAcquire());  // asking again keeps the lock
            LockFileInstanceLock second(program);
            QVERIFY(!second.TryAcquire());
            LockFileInstanceLock elsewhere(ProgramPath(QStringLiteral("other/hakaron")));
            QVERIFY(elsewhere.TryAcquire());
        }
        LockFileInstanceLock afterwards(program);
        QVERIFY(afterwards.TryAcquire());
    }
};

QTEST_MAIN(TestQtServices)
#include "tst_qtservices.moc"
