#include "RecordFile.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <climits>

#include "G_Const.h"

namespace RecordFile {

ReadResult Read(const QString& path, int r) {
    ReadResult result;
    QFile file(path);
    // Opening for read and write creates the file, as the record file's first use does; a
    // read-only file is still read.
    const QFileInfo info(path);
    if (r < 1 || (info.exists() && !info.isFile()) ||
        !(file.open(QIODevice::ReadWrite) || file.open(QIODevice::ReadOnly))) {
        result.PastEnd = true;
        return result;
    }
    const qint64 offset = qint64(r - 1) * G_Const::RecordLength;
    if (offset + G_Const::RecordLength > file.size() || !file.seek(offset)) {
        result.PastEnd = true;
        return result;
    }
    result.Record = MeasureRecord::Decode(file.read(G_Const::RecordLength));
    return result;
}

namespace {
// A write cut short by a full disk reports no error of its own ("unknown error"): the rest,
// tried once more, fails with the system's reason (no space left, file too large).
bool WriteAll(QFile& file, const QByteArray& bytes) {
    const qint64 written = file.write(bytes);
    if (written == bytes.size()) return true;
    return written > 0 && file.write(bytes.constData() + written, bytes.size() - written) ==
                              bytes.size() - written;
}
}  // namespace

FileResult Write(const QString& path, int r, const MeasureRecord& record, const DeviceSync& sync) {
    if (r < 1) return FileResult::Failure(path, FileWrite::ReasonFor(path, QString()));
    const QFileInfo info(path);
    // A folder or device in place of the record file is unwritable, never a file of records.
    if (info.exists() && !info.isFile())
        return FileResult::Failure(path, FileWrite::ReasonFor(path, QString()));
    QFile file(path);
    // Unbuffered, so that every write reports its own result.
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return FileResult::Failure(path, FileWrite::ReasonFor(path, file.errorString()));
    const qint64 whole = file.size() / G_Const::RecordLength * G_Const::RecordLength;
    const qint64 offset = qint64(r - 1) * G_Const::RecordLength;
    // The record being overwritten, put back when the write stops half-way.
    QByteArray old;
    auto fail = [&] {
        const QString systemText = file.errorString();
        // A write that stopped half-way (a full disk) leaves no torn record behind: an
        // overwritten record gets its old bytes back (only those written can have changed,
        // so they fit where the new ones did), and the file goes back to its whole records.
        if (!old.isEmpty() && file.seek(offset)) file.write(old);
        if (file.size() > whole) file.resize(whole);
        return FileResult::Failure(path, FileWrite::ReasonFor(path, systemText));
    };
    // Records between the old end and r are filled with spaces, never left as zeros.
    if (offset > whole) {
        if (!file.resize(whole) || !file.seek(whole)) return fail();
        const QByteArray blank = MeasureRecord{}.Encode();
        for (qint64 at = whole; at < offset; at += G_Const::RecordLength)
            if (!WriteAll(file, blank)) return fail();
    }
    if (!file.seek(offset)) return fail();
    if (offset < whole) {
        old = file.read(G_Const::RecordLength);
        if (old.size() != G_Const::RecordLength || !file.seek(offset)) return fail();
    }
    const QByteArray bytes = record.Encode();
    if (!WriteAll(file, bytes)) return fail();
    // The beep that follows tells the operator the reading is safe, power cut or not.
    if (!sync.SyncFile(file)) return fail();
    return FileResult::Success();
}

int Count(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile()) return 0;
    return int(std::min<qint64>(info.size() / G_Const::RecordLength, INT_MAX));
}
QList<MeasureRecord> ReadAll(const QString& path) {
    QList<MeasureRecord> records;
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) return records;
    const QByteArray bytes = file.readAll();
    const qsizetype n = bytes.size() / G_Const::RecordLength;
    records.reserve(n);
    for (qsizetype i = 0; i < n; ++i)
        records.append(
            MeasureRecord::Decode(bytes.mid(i * G_Const::RecordLength, G_Const::RecordLength)));
    return records;
}

void ForEachRecord(const QString& path, int first,
                   const std::function<void(const MeasureRecord&)>& visit) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) return;
    if (!file.seek(qint64(first) * G_Const::RecordLength)) return;
    constexpr qint64 kChunk = 64 * G_Const::RecordLength;
    for (QByteArray bytes = file.read(kChunk); bytes.size() >= G_Const::RecordLength;
         bytes = file.read(kChunk))
        for (qsizetype at = 0; at + G_Const::RecordLength <= bytes.size();
             at += G_Const::RecordLength)
            visit(MeasureRecord::Decode(bytes.sliced(at, G_Const::RecordLength)));
}

bool ForceDelete(const QString& path) {
    if (!QFileInfo::exists(path)) return true;
    QFile::setPermissions(path, QFile::permissions(path) | QFile::WriteOwner | QFile::WriteUser);
    return QFile::remove(path);
}

FileResult Replace(const QString& path, const QList<MeasureRecord>& records,
                   const DeviceSync& sync) {
    // The new set replaces a read-only old file too (as deleting it would), and comes out
    // writable; the old permissions come back when the replacement fails.
    const bool existed = QFileInfo(path).isFile();
    const QFileDevice::Permissions oldPermissions = QFile::permissions(path);
    if (existed) QFile::setPermissions(path, oldPermissions | QFile::WriteOwner | QFile::WriteUser);
    QByteArray bytes;
    bytes.reserve(records.size() * G_Const::RecordLength);
    for (const MeasureRecord& record : records) bytes += record.Encode();
    const FileResult result = FileWrite::ReplaceContents(path, bytes, sync);
    if (!result && existed) QFile::setPermissions(path, oldPermissions);
    return result;
}

}  // namespace RecordFile
