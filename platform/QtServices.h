#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

#include "Services.h"

class SystemClock : public Clock {
public:
    QDate Today() const override;
};

class SystemBeeper : public Beeper {
public:
    void Beep() override;
};

// A lock file in the temporary folder named after the program's path, so that copies
// installed in different folders do not stop each other.
class LockFileInstanceLock : public InstanceLock {
public:
    // programPath: the program the lock stands for; empty means this executable.
    explicit LockFileInstanceLock(const QString& programPath = {});
    ~LockFileInstanceLock() override;
    bool TryAcquire() override;
    QString LockPath() const;

private:
    QString m_programPath;
    std::unique_ptr<QLockFile> m_lock;
};

// The lock file that stands for a program path (absolute, in QDir::tempPath()).
QString InstanceLockPath(const QString& programPath);

class DesktopShell : public Shell {
public:
    void Open(const QString& target) override;
    // Opens the help file with the desktop's viewer; false when there is no such file.
    bool ShowHelp(const QString& helpFile) override;
};
