#include "CsvLines.h"

#include <QStringList>
#include <array>
#include <bitset>
#include <vector>

#include "Cp932.h"
#include "ExportTexts.h"
#include "FixedText.h"
#include "G_Const.h"

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

QString Quoted(const QString& text) {
    QString inner = TrimSpaces(text);
    inner.replace(u'"', QStringLiteral("\"\""));
    return u'"' + inner + u'"';
}

QString CaptionOr(const Text20& caption, int number) {
    return caption.IsBlank() ? QStringLiteral("項目%1").arg(number) : caption.Trimmed();
}

QByteArray Line(const QStringList& items) {
    return Cp932::Encode(items.join(u',') + kLineEnd);
}

// The record's fields as (offset, width) in column order: the three sub-labels, height,
// weight, BMI, sitting height, then the five derived values.
constexpr std::array<std::pair<int, int>, 12> kColumns{{{0, 20},
                                                        {20, 20},
                                                        {40, 20},
                                                        {70, 10},
                                                        {90, 10},
                                                        {80, 10},
                                                        {60, 10},
                                                        {100, 10},
                                                        {110, 10},
                                                        {120, 10},
                                                        {130, 10},
                                                        {140, 10}}};

bool IsLeadByte(uchar b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
bool IsTrailByte(uchar b) {
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

// Which single bytes and two-byte characters come back as the same bytes from decoding and
// encoding: printable ASCII, half-width katakana and the two-byte characters, less those
// the code page does not define or writes differently (duplicates of the NEC and IBM sets).
// Worked out once with the program's own conversion, in one batch each way.
struct StoredAsText {
    std::bitset<256> Single;
    std::bitset<65536> Pair;

    StoredAsText() {
        // Every candidate, each followed by a line end: a line end is neither a character's
        // byte nor part of one, so it keeps them apart through both conversions.
        QByteArray all;
        std::vector<quint16> codes;
        all.reserve(3 * 12000);
        codes.reserve(12000);
        for (int b = 0x20; b <= 0xDF; ++b) {
            if (b > 0x7E && b < 0xA1) continue;
            all += char(b);
            all += '\n';
            codes.push_back(quint16(b));
        }
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!IsLeadByte(uchar(lead))) continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                if (!IsTrailByte(uchar(trail))) continue;
                all += char(lead);
                all += char(trail);
                all += '\n';
                codes.push_back(quint16(lead << 8 | trail));
            }
        }
        QString text = Cp932::Decode(all);
        // An undefined character would send the encoder one character at a time; a control
        // character in its place never encodes back to the candidate's bytes.
        for (QChar& c : text)
            if (c == QChar::ReplacementCharacter) c = QChar(1);
        const QByteArray back = Cp932::Encode(text);
        qsizetype from = 0;
        qsizetype to = 0;
        for (const quint16 code : codes) {
            const qsizetype fromEnd = all.indexOf('\n', from);
            const qsizetype toEnd = back.indexOf('\n', to);
            if (fromEnd < 0 || toEnd < 0) return;
            if (QByteArrayView(all).sliced(from, fromEnd - from) ==
                QByteArrayView(back).sliced(to, toEnd - to)) {
                if (code < 0x100)
                    Single.set(code);
                else
                    Pair.set(code);
            }
            from = fromEnd + 1;
            to = toEnd + 1;
        }
    }
};

const StoredAsText& Table() {
    static const StoredAsText table;
    return table;
}

// Appends the field trimmed and quoted, quotes doubled; false (nothing appended) when its
// bytes are not plainly the CP932 of its text.
bool AppendStoredField(QByteArray& line, QByteArrayView field) {
    const StoredAsText& table = Table();
    qsizetype start = 0;
    qsizetype end = field.size();
    while (start < end && field[start] == ' ') ++start;
    while (end > start && field[end - 1] == ' ') --end;
    int quotes = 0;
    for (qsizetype i = start; i < end; ++i) {
        const uchar b = uchar(field[i]);
        if (table.Single.test(b)) {
            quotes += b == '"';
        } else if (i + 1 < end && table.Pair.test(b << 8 | uchar(field[i + 1]))) {
            ++i;
        } else {
            return false;
        }
    }
    line += '"';
    if (quotes == 0) {
        line += field.sliced(start, end - start);
    } else {
        for (qsizetype i = start; i < end; ++i) {
            line += field[i];
            // Only a whole character can be a quote: trail bytes start at 0x40.
            if (field[i] == '"') line += '"';
        }
    }
    line += '"';
    return true;
}

}  // namespace

namespace CsvLines {

QByteArray LabelLines(const QString& title, const QString& measureDate, const QString& person) {
    // The labels keep their blanks: a full-width colon between spaces, ideographic spaces.
    const auto label = [](const QString& text) { return u'"' + text + u'"'; };
    return Line({label(QStringLiteral("タイトル ： ")), Quoted(title)}) +
           Line({label(QStringLiteral("日　　付 ： ")), Quoted(measureDate)}) +
           Line({label(QStringLiteral(" 担当者　： ")), Quoted(person)});
}

QByteArray HeadingLine(const MeasureRecord& captions) {
    QStringList items{Quoted(QStringLiteral("No.")), Quoted(CaptionOr(captions.SubLabel1, 1)),
                      Quoted(CaptionOr(captions.SubLabel2, 2)),
                      Quoted(CaptionOr(captions.SubLabel3, 3))};
    for (const QString& heading : ExportTexts::ValueHeadings) items << Quoted(heading);
    return Line(items);
}

QByteArray DataLine(int number, const MeasureRecord& r) {
    const MeasureValues& v = r.Values;
    return Line({QString::number(number), Quoted(r.SubLabel1), Quoted(r.SubLabel2),
                 Quoted(r.SubLabel3), Quoted(v.Height), Quoted(v.Weight), Quoted(v.Bmi),
                 Quoted(v.SittingHeight), Quoted(v.BmiStdWeight), Quoted(v.HibiStdWeightMale),
                 Quoted(v.HibiStdWeightFemale), Quoted(v.HibiObesityMale),
                 Quoted(v.HibiObesityFemale)});
}

QByteArray DataLineFromRecord(int number, QByteArrayView record) {
    if (record.size() != G_Const::RecordLength)
        return DataLine(number, MeasureRecord::Decode(record.toByteArray()));
    QByteArray line;
    line.reserve(G_Const::RecordLength + 40);
    line += QByteArray::number(number);
    for (const auto& [offset, width] : kColumns) {
        line += ',';
        if (!AppendStoredField(line, record.sliced(offset, width)))
            return DataLine(number, MeasureRecord::Decode(record.toByteArray()));
    }
    line += "\r\n";
    return line;
}

}  // namespace CsvLines
