#pragma once

#include <QString>

#include "DeviceSync.h"

class QSaveFile;

// The outcome of writing a file: success, or the file and the reason it could not be written,
// ready to be told to the user.
struct FileResult {
    bool Ok = true;
    QString Path;
    QString Reason;  // Japanese, with the system's own words in brackets

    operator bool() const { return Ok; }  // NOLINT: used as a plain success flag

    static FileResult Success() { return {}; }
    static FileResult Failure(const QString& path, const QString& reason) {
        return {false, path, reason};
    }
    // "<what> could not be written" with the file and the reason, one message.
    QString Message() const;
};

namespace FileWrite {
// Why `path` cannot be written, worked out after a failed open or write; `systemText` is the
// error text the failing call gave.
QString ReasonFor(const QString& path, const QString& systemText);
// Replaces the whole file by `bytes`: written to a temporary file beside it, flushed, checked,
// and renamed over it only when every step succeeded (see CommitDurably). The old file stays
// as it was otherwise.
FileResult ReplaceContents(const QString& path, const QByteArray& bytes,
                           const DeviceSync& sync = SystemDeviceSync());
// Ends a QSaveFile whose bytes are all written: its temporary file reaches the device before
// it is renamed over the target, and the folder after, so that a power cut leaves the old file
// or the whole new one. A failure before the rename cancels it and leaves the old file.
bool CommitDurably(QSaveFile& file, const DeviceSync& sync = SystemDeviceSync());
}  // namespace FileWrite
