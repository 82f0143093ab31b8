#pragma once

#include <QByteArray>
#include <QString>

#include "MeasureRecord.h"

// The lines of a measurement set's CSV file, each in code page 932 and ended by CR LF.
// Texts are quoted and trimmed of their padding spaces; a quote inside a text is doubled
// so that spreadsheets keep the columns in place.
namespace CsvLines {

// The title, date and person lines; the values are trimmed here.
QByteArray LabelLines(const QString& title, const QString& measureDate, const QString& person);
// "No.", the three captions of the captions record ("項目1"-"項目3" when blank) and the
// headings of the ten value columns.
QByteArray HeadingLine(const MeasureRecord& captions);
// The running number, bare, then the twelve fields in column order: the three sub-labels,
// height, weight, BMI, sitting height, then the five derived values.
QByteArray DataLine(int number, const MeasureRecord& record);
// The same line from the record's 150 stored bytes, as DataLine(number, Decode(record))
// gives it. Fields whose bytes are already the CP932 of their text are copied trimmed and
// quoted without decoding (a CP932 trail byte is never a space or a quote); a record holding
// anything else goes the long way.
QByteArray DataLineFromRecord(int number, QByteArrayView record);

}  // namespace CsvLines
