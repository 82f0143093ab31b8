#include "RecordFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "G_Const.h"

namespace RecordFile {

ReadResult Read(const QString& path, int r) {
    ReadResult result;
    QFile file(path);
    // Opening for read and write creates the file, as the record file's first use does; a
    // read-only file is still read.
    if (r < 1 || !(file.open(QIODevice::ReadWrite) || file.open(QIODevice::ReadOnly))) {
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

bool Write(const QString& path, int r, const MeasureRecord& record) {
    if (r < 1) return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) return false;
    const qint64 offset = qint64(r - 1) * G_Const::RecordLength;
    // Records between the old end and r are filled with spaces, never left as zeros.
    if (offset > file.size()) {
        const qint64 whole = file.size() / G_Const::RecordLength * G_Const::RecordLength;
        if (!file.resize(whole) || !file.seek(whole)) return false;
        const QByteArray blank = MeasureRecord{}.Encode();
        for (qint64 at = whole; at < offset; at += G_Const::RecordLength)
            if (file.write(blank) != blank.size()) return false;
    }
    if (!file.seek(offset)) return false;
    const QByteArray bytes = record.Encode();
    return file.write(bytes) == bytes.size() && file.flush();
}

int Count(const QString& path) {
    return int(QFileInfo(path).size() / G_Const::RecordLength);
}

QList<MeasureRecord> ReadAll(const QString& path) {
    QList<MeasureRecord> records;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return records;
    const QByteArray bytes = file.readAll();
    const qsizetype n = bytes.size() / G_Const::RecordLength;
    records.reserve(n);
    for (qsizetype i = 0; i < n; ++i)
        records.append(
            MeasureRecord::Decode(bytes.mid(i * G_Const::RecordLength, G_Const::RecordLength)));
    return records;
}

bool ForceDelete(const QString& path) {
    if (!QFileInfo::exists(path)) return true;
    QFile::setPermissions(path, QFile::permissions(path) | QFile::WriteOwner | QFile::WriteUser);
    return QFile::remove(path);
}

bool Replace(const QString& path, const QList<MeasureRecord>& records) {
    // The new set replaces a read-only old file too (as deleting it would), and comes out
    // writable; the old permissions come back when the replacement fails.
    const bool existed = QFileInfo::exists(path);
    const QFileDevice::Permissions oldPermissions = QFile::permissions(path);
    if (existed) QFile::setPermissions(path, oldPermissions | QFile::WriteOwner | QFile::WriteUser);
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly);
    for (qsizetype i = 0; ok && i < records.size(); ++i) {
        const QByteArray bytes = records[i].Encode();
        ok = file.write(bytes) == bytes.size();
    }
    if (ok)
        ok = file.commit();
    else
        file.cancelWriting();
    if (!ok && existed) QFile::setPermissions(path, oldPermissions);
    return ok;
}

}  // namespace RecordFile
