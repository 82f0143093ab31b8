#pragma once

#include <QString>

class QFileDevice;

// Pushes what was written down to the storage device, so that it survives a power cut; until
// then it may sit in the system's cache. Writers take one of these so that tests can count
// the calls.
class DeviceSync {
public:
    virtual ~DeviceSync() = default;
    // The data of an open file (fdatasync; FlushFileBuffers on Windows). False when the device
    // reported an error: the bytes may not be there.
    virtual bool SyncFile(QFileDevice& file) const = 0;
    // The entries of a folder, after a file in it was renamed or created (fsync of the folder;
    // on Windows the file system keeps renames in its journal: nothing to do).
    virtual bool SyncFolder(const QString& folder) const = 0;
};

class SystemDeviceSync : public DeviceSync {
public:
    bool SyncFile(QFileDevice& file) const override;
    bool SyncFolder(const QString& folder) const override;
};
