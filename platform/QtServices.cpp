#include "QtServices.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

QDate SystemClock::Today() const {
    return QDate::currentDate();
}

void SystemBeeper::Beep() {
    QApplication::beep();
}

QString InstanceLockPath(const QString& programPath) {
    const QString canonical = QFileInfo(programPath).absoluteFilePath();
    const QByteArray hash =
        QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QDir(QDir::tempPath())
        .filePath(QStringLiteral("hakaron-%1.lock").arg(QString::fromLatin1(hash)));
}

LockFileInstanceLock::LockFileInstanceLock(const QString& programPath)
    : m_programPath(programPath) {}

LockFileInstanceLock::~LockFileInstanceLock() = default;

QString LockFileInstanceLock::LockPath() const {
    return InstanceLockPath(m_programPath.isEmpty() ? QCoreApplication::applicationFilePath()
                                                    : m_programPath);
}

bool LockFileInstanceLock::TryAcquire() {
    if (m_lock && m_lock->isLocked()) return true;
    m_lock = std::make_unique<QLockFile>(LockPath());
    // Staleness by age would hand a long-running copy's lock to a second one; only a lock
    // whose process is gone counts as stale, which QLockFile checks by its PID.
    m_lock->setStaleLockTime(0);
    return m_lock->tryLock(0);
}

void DesktopShell::Open(const QString& target) {
    QDesktopServices::openUrl(QUrl(target));
}

bool DesktopShell::ShowHelp(const QString& helpFile) {
    if (!QFileInfo(helpFile).isFile()) return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(helpFile));
}
