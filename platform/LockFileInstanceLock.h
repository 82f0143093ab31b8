#pragma once

#include <QString>

#include "Services.h"

// One copy of the program per program folder. Two keys of the data folder are held while the
// program runs, each an operating-system lock that ends with the process however it ends:
// the folder itself (it needs no new file, so a read-only or full folder still has it) and
// the lock file `hakaron.lock` in it. Only a key held by a live copy refuses the start; what
// the lock file holds is never read, so an empty, damaged or foreign file left by a power cut
// or another program is simply taken over, and anything but a regular file in its place is
// removed without being opened. When neither key can be had (a missing folder), the program
// starts and `DetectsSecondCopy()` says that a second copy would go unnoticed.
class LockFileInstanceLock : public InstanceLock {
public:
    explicit LockFileInstanceLock(const QString& dataFolder);
    ~LockFileInstanceLock() override;
    LockFileInstanceLock(const LockFileInstanceLock&) = delete;
    LockFileInstanceLock& operator=(const LockFileInstanceLock&) = delete;

    bool TryAcquire() override;
    bool DetectsSecondCopy() const override;
    QString LockPath() const;

private:
    void Release();

    QString m_dataFolder;
    bool m_acquired = false;
    // The keys held: descriptors on POSIX, handles on Windows; -1 / null when not held.
    qintptr m_folderKey = -1;
    qintptr m_fileKey = -1;
};
