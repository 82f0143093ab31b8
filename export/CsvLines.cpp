#include "CsvLines.h"

#include <QStringList>

#include "Cp932.h"
#include "ExportTexts.h"
#include "FixedText.h"

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

}  // namespace CsvLines
