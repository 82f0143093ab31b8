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

// A lock file in the data folder of the program folder, so that copies working on different
// folders never stop each other and two copies on one folder always do, whatever their
// environment. Only a lock held by a live process refuses: a lock that cannot be made at all
// (a read-only or missing folder) lets the program start.
class LockFileInstanceLock : public InstanceLock {
public:
    explicit LockFileInstanceLock(const QString& dataFolder);
    ~LockFileInstanceLock() override;
    bool TryAcquire() override;
    QString LockPath() const;

private:
    QString m_dataFolder;
    std::unique_ptr<QLockFile> m_lock;
};

class DesktopShell : public Shell {
public:
    void Open(const QString& target) override;
};
