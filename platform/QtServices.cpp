#include "QtServices.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QUrl>

QDate SystemClock::Today() const {
    return QDate::currentDate();
}

void SystemBeeper::Beep() {
    QApplication::beep();
}

LockFileInstanceLock::LockFileInstanceLock(const QString& dataFolder) : m_dataFolder(dataFolder) {}

LockFileInstanceLock::~LockFileInstanceLock() = default;

QString LockFileInstanceLock::LockPath() const {
    return QDir(m_dataFolder).absoluteFilePath(QStringLiteral("hakaron.lock"));
}

bool LockFileInstanceLock::TryAcquire() {
    if (m_lock && m_lock->isLocked()) return true;
    m_lock = std::make_unique<QLockFile>(LockPath());
    // Staleness by age would hand a long-running copy's lock to a second one; only a lock
    // whose process is gone counts as stale, which QLockFile checks by its PID.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0)) return true;
    return m_lock->error() != QLockFile::LockFailedError;
}

void DesktopShell::Open(const QString& target) {
    QDesktopServices::openUrl(QUrl(target));
}
