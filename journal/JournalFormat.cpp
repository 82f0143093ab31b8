#include <QHash>
#include <QStringList>
#include <array>
#include <optional>
#include <utility>

#include "ReadingJournal.h"

namespace {

const QString kTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");
const QString kReceived = QStringLiteral("受信");
constexpr int kFieldCount = 7;

// The word each fate has in the file: fixed, whatever the window calls it.
const std::array<std::pair<ReadingFate, const char16_t*>, 9> kFateWords{{
    {ReadingFate::Pending, u"未書込"},
    {ReadingFate::WrittenAuto, u"自動書込"},
    {ReadingFate::WrittenByInput, u"入力書込"},
    {ReadingFate::WrittenFromJournal, u"履歴から書込"},
    {ReadingFate::Replaced, u"置換"},
    {ReadingFate::Discarded, u"破棄"},
    {ReadingFate::Cleared, u"消去"},
    {ReadingFate::PendingAtExit, u"終了時未書込"},
    {ReadingFate::WriteFailed, u"書込失敗"},
}};

QString FateWord(ReadingFate fate) {
    for (const auto& [f, word] : kFateWords)
        if (f == fate) return QString::fromUtf16(word);
    return {};
}

std::optional<ReadingFate> FateOfWord(const QString& word) {
    for (const auto& [f, w] : kFateWords)
        if (word == QString::fromUtf16(w)) return f;
    return std::nullopt;
}

std::optional<MeasuredQuantity> KindOfText(const QString& text) {
    for (const MeasuredQuantity kind :
         {MeasuredQuantity::Height, MeasuredQuantity::SittingHeight, MeasuredQuantity::Weight})
        if (text == JournalFormat::KindText(kind)) return kind;
    return std::nullopt;
}

bool IsWritten(ReadingFate fate) {
    return fate == ReadingFate::WrittenAuto || fate == ReadingFate::WrittenByInput ||
           fate == ReadingFate::WrittenFromJournal;
}

QString Quoted(QString value) {
    value.replace(u'\r', u' ').replace(u'\n', u' ');
    if (!value.contains(u',') && !value.contains(u'"')) return value;
    return u'"' + value.replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}

QByteArray Line(const QStringList& fields) {
    return fields.join(u',').toUtf8() + "\r\n";
}

// The fields of one line; nothing when a quote is left open or stray.
std::optional<QStringList> Fields(const QString& line) {
    QStringList fields;
    QString field;
    bool quoted = false;
    bool wasQuoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted) {
            if (c != u'"') {
                field += c;
            } else if (i + 1 < line.size() && line.at(i + 1) == u'"') {
                field += c;
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == u',') {
            fields << field;
            field.clear();
            wasQuoted = false;
        } else if (c == u'"') {
            if (!field.isEmpty() || wasQuoted) return std::nullopt;
            quoted = wasQuoted = true;
        } else {
            if (wasQuoted) return std::nullopt;
            field += c;
        }
    }
    if (quoted) return std::nullopt;
    fields << field;
    return fields;
}

std::optional<int> Number(const QString& text, bool emptyIsZero) {
    if (text.isEmpty() && emptyIsZero) return 0;
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 0) return std::nullopt;
    return value;
}

// The lines whose end was written; the piece after the last line break is torn.
QList<QByteArray> WholeLines(const QByteArray& bytes) {
    QList<QByteArray> lines = bytes.split('\n');
    lines.removeLast();
    for (QByteArray& line : lines)
        if (line.endsWith('\r')) line.chop(1);
    return lines;
}

}  // namespace

bool JournalEntry::NeverWritten() const {
    return !IsWritten(Fate);
}

namespace JournalFormat {

QByteArray Header() {
    return Line({QStringLiteral("ID"), QStringLiteral("時刻"), QStringLiteral("表示No"),
                 QStringLiteral("種類"), QStringLiteral("値"), QStringLiteral("出来事"),
                 QStringLiteral("書込先")});
}

QByteArray ReceivedLine(const JournalEntry& entry) {
    return Line({QString::number(entry.Id), entry.Time.toString(kTimeFormat),
                 QString::number(entry.Number), KindText(entry.Kind), Quoted(entry.Value),
                 kReceived, QString()});
}

QByteArray FateLine(int id, const QDateTime& time, ReadingFate fate, int number) {
    return Line({QString::number(id), time.toString(kTimeFormat), QString(), QString(), QString(),
                 FateWord(fate), number > 0 ? QString::number(number) : QString()});
}

QList<JournalEntry> Parse(const QByteArray& bytes) {
    QList<JournalEntry> entries;
    QHash<int, qsizetype> indexOfId;
    for (const QByteArray& bytesOfLine : WholeLines(bytes)) {
        const std::optional<QStringList> fields = Fields(QString::fromUtf8(bytesOfLine));
        if (!fields || fields->size() != kFieldCount) continue;
        const std::optional<int> id = Number(fields->at(0), false);
        const QDateTime time = QDateTime::fromString(fields->at(1), kTimeFormat);
        if (!id || *id == 0 || !time.isValid()) continue;
        if (fields->at(5) == kReceived) {
            const std::optional<int> shown = Number(fields->at(2), false);
            const std::optional<MeasuredQuantity> kind = KindOfText(fields->at(3));
            if (!shown || !kind || indexOfId.contains(*id)) continue;
            indexOfId.insert(*id, entries.size());
            entries.append({*id, time, *shown, *kind, fields->at(4)});
            continue;
        }
        const std::optional<ReadingFate> fate = FateOfWord(fields->at(5));
        const std::optional<int> number = Number(fields->at(6), true);
        if (!fate || !number || !indexOfId.contains(*id)) continue;
        JournalEntry& entry = entries[indexOfId.value(*id)];
        entry.Fate = *fate;
        entry.WrittenTo = IsWritten(*fate) ? *number : 0;
    }
    return entries;
}

int HighestId(const QByteArray& bytes) {
    int highest = 0;
    for (const QByteArray& line : bytes.split('\n')) {
        bool ok = false;
        const int id = line.left(line.indexOf(',')).toInt(&ok);
        if (ok && id > highest) highest = id;
    }
    return highest;
}

QList<QList<JournalEntry>> ByPerson(const QList<JournalEntry>& entries) {
    QList<QList<JournalEntry>> people;
    for (const JournalEntry& entry : entries) {
        const bool newPerson = people.isEmpty() || entry.Number != people.last().last().Number ||
                               (entry.Kind != MeasuredQuantity::Weight &&
                                people.last().last().Kind == MeasuredQuantity::Weight);
        if (newPerson) people.append(QList<JournalEntry>());
        people.last().append(entry);
    }
    return people;
}

QString FateText(ReadingFate fate, int number) {
    const QString no = QString::number(number);
    switch (fate) {
        case ReadingFate::Pending:
            return QStringLiteral("未書込");
        case ReadingFate::WrittenAuto:
            return QStringLiteral("No.%1 に自動書込").arg(no);
        case ReadingFate::WrittenByInput:
            return QStringLiteral("No.%1 に入力で書込").arg(no);
        case ReadingFate::WrittenFromJournal:
            return QStringLiteral("No.%1 に受信履歴から書込").arg(no);
        case ReadingFate::Replaced:
            return QStringLiteral("新しい測定値で置換");
        case ReadingFate::Discarded:
            return QStringLiteral("保存しないで破棄");
        case ReadingFate::Cleared:
            return QStringLiteral("消去");
        case ReadingFate::PendingAtExit:
            return QStringLiteral("終了時に保留");
        case ReadingFate::WriteFailed:
            return number > 0 ? QStringLiteral("No.%1 への書込に失敗").arg(no)
                              : QStringLiteral("書込に失敗");
    }
    return {};
}

QString KindText(MeasuredQuantity kind) {
    switch (kind) {
        case MeasuredQuantity::Height:
            return QStringLiteral("身長");
        case MeasuredQuantity::SittingHeight:
            return QStringLiteral("座高");
        case MeasuredQuantity::Weight:
            return QStringLiteral("体重");
    }
    return {};
}

}  // namespace JournalFormat
