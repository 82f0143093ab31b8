#include "NameListFile.h"

#include <QFile>
#include <QSaveFile>

#include "Cp932.h"
#include "FileResult.h"
#include "G_Const.h"

namespace {

const QChar kQuote = u'"';
const QChar kFullWidthQuote = QChar(0xFF02);  // "＂"

bool IsLineEnd(QChar c) {
    return c == u'\r' || c == u'\n';
}
bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

// Splits the decoded text into its items, in order of appearance.
QStringList SplitItems(const QString& text) {
    QStringList items;
    const qsizetype n = text.size();
    qsizetype i = 0;
    bool afterComma = false;
    while (i < n) {
        while (i < n && IsBlank(text[i])) ++i;
        if (i >= n || IsLineEnd(text[i])) {
            // A comma right before the line end leaves an empty item; an empty line has none.
            if (afterComma) items << QString();
            afterComma = false;
            if (i < n) ++i;
            continue;
        }
        if (text[i] == kQuote) {
            qsizetype end = i + 1;
            while (end < n && text[end] != kQuote && !IsLineEnd(text[end])) ++end;
            items << text.mid(i + 1, end - i - 1);
            i = end < n && text[end] == kQuote ? end + 1 : end;
            while (i < n && text[i] != u',' && !IsLineEnd(text[i])) ++i;
        } else {
            const qsizetype start = i;
            while (i < n && text[i] != u',' && !IsLineEnd(text[i])) ++i;
            qsizetype end = i;
            while (end > start && IsBlank(text[end - 1])) --end;
            items << text.mid(start, end - start);
        }
        // One separator: a comma, or a line end (CR LF counts once).
        afterComma = i < n && text[i] == u',';
        if (afterComma) {
            ++i;
        } else if (i < n) {
            if (text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n') ++i;
            ++i;
        }
    }
    if (afterComma) items << QString();
    return items;
}

// Writes the bytes through a temporary file renamed over `path`, checking every step: a
// full disk must never pass for a saved list.
bool WriteWhole(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return FileWrite::CommitDurably(file);
}

}  // namespace

namespace NameListFile {

QString StorableItem(const QString& text) {
    QString item = text;
    item.replace(kQuote, kFullWidthQuote);
    for (QChar& c : item)
        if (IsLineEnd(c)) c = u' ';
    return item;
}

QByteArray Format(const QList<NameListEntry>& entries) {
    QString text;
    for (const NameListEntry& entry : entries) {
        for (int k = 0; k < 3; ++k) {
            if (k > 0) text += u',';
            text += kQuote + StorableItem(entry.Items[k]) + kQuote;
        }
        text += QStringLiteral("\r\n");
    }
    return Cp932::Encode(text);
}

QList<NameListEntry> Parse(const QByteArray& bytes) {
    const QStringList items = SplitItems(Cp932::Decode(bytes));
    QList<NameListEntry> entries;
    entries.reserve((items.size() + 2) / 3);
    for (qsizetype i = 0; i < items.size(); i += 3) {
        NameListEntry entry;
        for (int k = 0; k < 3 && i + k < items.size(); ++k) entry.Items[k] = items[i + k];
        entries.append(entry);
    }
    return entries;
}

QList<MeasureRecord> MeasurementSet(const QList<NameListEntry>& entries) {
    QList<MeasureRecord> records(G_Const::HeaderRecords);
    records.reserve(G_Const::HeaderRecords + entries.size());
    for (const NameListEntry& entry : entries) {
        MeasureRecord record;
        record.SubLabel1 = entry.Items[0];
        record.SubLabel2 = entry.Items[1];
        record.SubLabel3 = entry.Items[2];
        records.append(record);
    }
    return records;
}

QString FileNameProblem(const QString& baseName) {
    static const QString kRefused = QStringLiteral("\\/:*?\"<>|");
    for (const QChar c : baseName)
        if (kRefused.contains(c) || c.unicode() < 0x20)
            return QStringLiteral("ファイル名に次の文字は使えません\r\n\\ / : * ? \" < > |");
    // The stricter of the usual limits: 255 UTF-16 units (Windows) or UTF-8 bytes (Linux).
    const QString fileName = baseName + QStringLiteral(".nml");
    if (fileName.size() > 255 || fileName.toUtf8().size() > 255)
        return QStringLiteral("ファイル名が長すぎます");
    return QString();
}

}  // namespace NameListFile

std::optional<QList<NameListEntry>> ReadNameListFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return std::nullopt;
    return NameListFile::Parse(bytes);
}

bool WriteNameListFile(const QString& path, const QList<NameListEntry>& entries) {
    return WriteWhole(path, NameListFile::Format(entries));
}

bool CreateNameListFile(const QString& path) {
    return WriteNameListFile(path, {NameListEntry{}});
}
