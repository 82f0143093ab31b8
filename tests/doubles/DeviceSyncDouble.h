#pragma once

#include <QFileDevice>
#include <QFileInfo>
#include <QStringList>

#include "DeviceSync.h"

// Logs each sync with the size of the synced file and of `Watched` at that moment, so that a
// test sees what had reached the file and where the rename stood; `Fails` makes them fail as
// a failing device does.
class DeviceSyncDouble : public DeviceSync {
public:
    bool SyncFile(QFileDevice& file) const override {
        Calls << QStringLiteral("file %1, watched %2").arg(file.size()).arg(WatchedSize());
        return !Fails;
    }
    bool SyncFolder(const QString& folder) const override {
        Calls << QStringLiteral("folder %1, watched %2")
                     .arg(QFileInfo(folder).fileName())
                     .arg(WatchedSize());
        return !Fails;
    }

    qint64 WatchedSize() const { return QFileInfo(Watched).size(); }
    QString Watched;
    bool Fails = false;
    mutable QStringList Calls;
};
