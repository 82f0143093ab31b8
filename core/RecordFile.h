#pragma once

#include <QList>
#include <QString>
#include <functional>

#include "DeviceSync.h"
#include "FileResult.h"
#include "MeasureRecord.h"

// The record file of fixed 150-byte records, numbered from 1. Every call opens the file,
// does its work and closes it again; no handle outlives a call.
namespace RecordFile {

struct ReadResult {
    MeasureRecord Record;  // blank when the record lies beyond the end
    bool PastEnd = false;
};

// Opens (creating the file empty when it does not exist) and reads record r.
// A file that cannot be opened reads as past the end.
ReadResult Read(const QString& path, int r);
// Writes record r, extending the file when r lies beyond its end, and succeeds only once the
// bytes reached the device. A failed write leaves the file at its whole records and says why;
// anything but a regular file is refused.
FileResult Write(const QString& path, int r, const MeasureRecord& record,
                 const DeviceSync& sync = SystemDeviceSync());
// File length / 150, remainder dropped; 0 for a missing file or one that is not a regular
// file.
int Count(const QString& path);
// Every whole record of the file, in order.
QList<MeasureRecord> ReadAll(const QString& path);
// Calls `visit` with each whole record from record `first` (0-based) on, in order. Reads a few
// records at a time, so a question asked after every write keeps nothing of the set.
void ForEachRecord(const QString& path, int first,
                   const std::function<void(const MeasureRecord&)>& visit);
// Deletes the file, also when it is read-only. True when no file is left.
bool ForceDelete(const QString& path);
// Replaces the whole file by these records: built beside it, then renamed over it, so a
// failure half-way leaves the old file as it was.
FileResult Replace(const QString& path, const QList<MeasureRecord>& records,
                   const DeviceSync& sync = SystemDeviceSync());

}  // namespace RecordFile
