// CSV lines of any texts: read back by the rules spreadsheets use (quoted fields, doubled
// quotes, CR LF between rows), every line has its columns and every text comes back as
// stored, trimmed of its padding. A line built from a record's stored bytes is the line of
// their decoded text.
#include <QStringList>

#include "Cp932.h"
#include "CsvLines.h"
#include "FixedText.h"
#include "FuzzInput.h"

namespace {

// RFC 4180 reading; an unquoted field runs to the comma or the line end.
QList<QStringList> ReadCsv(const QString& text) {
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c != u'"') {
                field += c;
            } else if (i + 1 < text.size() && text[i + 1] == u'"') {
                field += c;
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row << field;
            field.clear();
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            row << field;
            field.clear();
            rows << row;
            row.clear();
            ++i;
        } else {
            field += c;
        }
    }
    if (quoted || !field.isEmpty() || !row.isEmpty()) rows << (row << field);
    return rows;
}

QString Stored(const QString& text) {
    return Cp932::Decode(Cp932::Encode(TrimSpaces(text)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    const int number = int(in.Byte()) << 8 | in.Byte();
    const QString title = in.Utf16Text();
    const QString date = in.Utf16Text();
    const QString person = in.Utf16Text();
    MeasureRecord captions;
    captions.SubLabel1 = in.Utf16Text();
    MeasureRecord record;
    record.SubLabel1 = in.Utf16Text();
    record.SubLabel2 = in.Utf16Text();
    record.SubLabel3 = in.Utf16Text();
    MeasureValues& v = record.Values;
    for (Text10* value :
         {&v.Height, &v.Weight, &v.Bmi, &v.SittingHeight, &v.BmiStdWeight, &v.HibiStdWeightMale,
          &v.HibiStdWeightFemale, &v.HibiObesityMale, &v.HibiObesityFemale})
        *value = in.Utf16Text();

    const QByteArray bytes = CsvLines::LabelLines(title, date, person) +
                             CsvLines::HeadingLine(captions) + CsvLines::DataLine(number, record);
    const QList<QStringList> rows = ReadCsv(Cp932::Decode(bytes));
    FUZZ_CHECK(rows.size() == 5);
    FUZZ_CHECK(rows[0].size() == 2 && rows[0][1] == Stored(title));
    FUZZ_CHECK(rows[1].size() == 2 && rows[1][1] == Stored(date));
    FUZZ_CHECK(rows[2].size() == 2 && rows[2][1] == Stored(person));
    FUZZ_CHECK(rows[3].size() == 13);
    if (!captions.SubLabel1.IsBlank()) FUZZ_CHECK(rows[3][1] == Stored(captions.SubLabel1));
    const QStringList expected{QString::number(number),
                               Stored(record.SubLabel1),
                               Stored(record.SubLabel2),
                               Stored(record.SubLabel3),
                               Stored(v.Height),
                               Stored(v.Weight),
                               Stored(v.Bmi),
                               Stored(v.SittingHeight),
                               Stored(v.BmiStdWeight),
                               Stored(v.HibiStdWeightMale),
                               Stored(v.HibiStdWeightFemale),
                               Stored(v.HibiObesityMale),
                               Stored(v.HibiObesityFemale)};
    FUZZ_CHECK(rows[4] == expected);

    // The line built from stored bytes is the line of their decoded text, for the bytes of
    // this record and for any 150 bytes.
    const QByteArray stored = record.Encode();
    FUZZ_CHECK(CsvLines::DataLineFromRecord(number, stored) ==
               CsvLines::DataLine(number, MeasureRecord::Decode(stored)));
    const QByteArray raw = in.Rest().leftJustified(150, ' ', true);
    FUZZ_CHECK(CsvLines::DataLineFromRecord(number, raw) ==
               CsvLines::DataLine(number, MeasureRecord::Decode(raw)));
    return 0;
}
