#include "NameListFile.h"

#include <QFile>
#include <QFileInfo>
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

// A control character (NUL, ESC, BEL, DEL, …) is no part of a name: a space, as on the line.
QString WithoutControls(QString item) {
    for (QChar& c : item)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) c = u' ';
    return item;
}

// Splits the decoded text into its items, in order of appearance; only the first `keep` are
// kept, the others only counted into `count`.
QStringList SplitItems(const QString& text, qsizetype keep, qsizetype& count) {
    QStringList items;
    count = 0;
    const auto add = [&](const QString& item) {
        if (count++ < keep) items << WithoutControls(item);
    };
    const qsizetype n = text.size();
    qsizetype i = 0;
    bool afterComma = false;
    while (i < n) {
        while (i < n && IsBlank(text[i])) ++i;
        if (i >= n || IsLineEnd(text[i])) {
            // A comma right before the line end leaves an empty item; an empty line has none.
            if (afterComma) add(QString());
            afterComma = false;
            if (i < n) ++i;
            continue;
        }
        if (text[i] == kQuote) {
            qsizetype end = i + 1;
            while (end < n && text[end] != kQuote && !IsLineEnd(text[end])) ++end;
            if (count < keep)
                add(text.mid(i + 1, end - i - 1));
            else
                ++count;
            i = end < n && text[end] == kQuote ? end + 1 : end;
            while (i < n && text[i] != u',' && !IsLineEnd(text[i])) ++i;
        } else {
            const qsizetype start = i;
            while (i < n && text[i] != u',' && !IsLineEnd(text[i])) ++i;
            qsizetype end = i;
            while (end > start && IsBlank(text[end - 1])) --end;
            if (count < keep)
                add(text.mid(start, end - start));
            else
                ++count;
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
    if (afterComma) add(QString());
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

QList<NameListEntry> Parse(const QByteArray& bytes, qsizetype* count) {
    static const QByteArray kUtf8Mark("\xEF\xBB\xBF");
    qsizetype itemCount = 0;
    const QStringList items =
        SplitItems(bytes.startsWith(kUtf8Mark) ? QString::fromUtf8(bytes.sliced(kUtf8Mark.size()))
                                               : Cp932::Decode(bytes),
                   qsizetype(MaxEntries) * 3 + 3, itemCount);
    if (count) *count = (itemCount + 2) / 3;
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
    if (baseName.startsWith(u'.'))
        return QStringLiteral("ファイル名を「.」で始めることはできません");
    // The stricter of the usual limits: 255 UTF-16 units (Windows) or UTF-8 bytes (Linux).
    const QString fileName = baseName + QStringLiteral(".nml");
    if (fileName.size() > 255 || fileName.toUtf8().size() > 255)
        return QStringLiteral("ファイル名が長すぎます");
    return QString();
}

QString TooManyEntries(qsizetype count) {
    return QStringLiteral("名簿が%1名を超えています（%2名）").arg(MaxEntries).arg(count);
}

QString BaseName(const QString& typed) {
    const QString name = typed.trimmed();
    const QString suffix = QStringLiteral(".nml");
    return name.endsWith(suffix, Qt::CaseInsensitive) ? name.chopped(suffix.size()).trimmed()
                                                      : name;
}

}  // namespace NameListFile

std::optional<QList<NameListEntry>> ReadNameListFile(const QString& path, QString* problem) {
    const QFileInfo info(path);
    // A link to a device (/dev/zero) or a pipe would be read for ever.
    if (!info.isFile()) return std::nullopt;
    const auto tooLarge = [problem] {
        if (problem)
            *problem = QStringLiteral("ファイルが大きすぎます（名簿は%1 MBまでです）")
                           .arg(NameListFile::MaxFileBytes / (1024 * 1024));
        return std::nullopt;
    };
    if (info.size() > NameListFile::MaxFileBytes) return tooLarge();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    // Bounded even when the file grows while it is read.
    const QByteArray bytes = file.read(NameListFile::MaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError) return std::nullopt;
    if (bytes.size() > NameListFile::MaxFileBytes) return tooLarge();
    qsizetype count = 0;
    QList<NameListEntry> entries = NameListFile::Parse(bytes, &count);
    if (count > NameListFile::MaxEntries) {
        if (problem) *problem = NameListFile::TooManyEntries(count);
        return std::nullopt;
    }
    return entries;
}

bool WriteNameListFile(const QString& path, const QList<NameListEntry>& entries) {
    return WriteWhole(path, NameListFile::Format(entries));
}

bool CreateNameListFile(const QString& path) {
    return WriteNameListFile(path, {NameListEntry{}});
}
