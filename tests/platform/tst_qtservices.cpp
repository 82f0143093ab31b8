#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

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

    // A lock file as QLockFile writes it, claimed by `pid`.
    static void WriteLockFile(const QString& path, qint64 pid, const QString& app) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(
            QStringLiteral("%1\n%2\n%3\n").arg(pid).arg(app, QSysInfo::machineHostName()).toUtf8());
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void clockGivesToday() {
        const QDate before = QDate::currentDate();
        const QDate today = SystemClock().Today();
        QVERIFY(today == before || today == before.addDays(1));
    }

    void lockThatCannotBeMadeLetsTheProgramStart() {
        LockFileInstanceLock lock(m_dir.filePath(QStringLiteral("no-such-folder")));
        QVERIFY(lock.TryAcquire());
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

    void lockOfAProgramThatDiedIsTakenOver() {
        QProcess gone;
        gone.start(QStringLiteral("sleep"), {QStringLiteral("30")});
        QVERIFY(gone.waitForStarted(10000));
        const qint64 pid = gone.processId();
        gone.kill();
        QVERIFY(gone.waitForFinished(10000));

        const QString program = ProgramPath(QStringLiteral("crashed/hakaron"));
        LockFileInstanceLock lock(program);
        WriteLockFile(lock.LockPath(), pid, QStringLiteral("sleep"));
        QVERIFY(lock.TryAcquire());
    }

    // QLockFile calls a lock older than 30 s stale by default, which would let a second copy
    // start beside one that has simply run for a while.
    void lockOfALongRunningCopyIsNotTakenOver() {
        const QString program = ProgramPath(QStringLiteral("long/hakaron"));
        LockFileInstanceLock lock(program);
        WriteLockFile(lock.LockPath(), QCoreApplication::applicationPid(),
                      QCoreApplication::applicationName());
        QFile file(lock.LockPath());
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                 QFileDevice::FileModificationTime));
        file.close();
        QVERIFY(!lock.TryAcquire());
        QFile::remove(lock.LockPath());
    }
};

QTEST_MAIN(TestQtServices)
#include "tst_qtservices.moc"
