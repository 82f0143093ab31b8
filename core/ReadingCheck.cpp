#include "ReadingCheck.h"

namespace {

QString Warning(QStringView value, const char16_t* quantity, const char16_t* unit, double low,
                double high) {
    const QString text = value.trimmed().toString();
    bool ok = false;
    const double number = text.toDouble(&ok);
    if (!ok || (number >= low && number <= high)) return {};
    return QStringLiteral("測定値を確認してください（%1 %2 %3）")
        .arg(QString::fromUtf16(quantity), text, QString::fromUtf16(unit));
}

}  // namespace

namespace ReadingCheck {

QString HeightWarning(QStringView value) {
    return Warning(value, u"身長", u"cm", 50, 220);
}

QString WeightWarning(QStringView value) {
    return Warning(value, u"体重", u"kg", 5, 250);
}

}  // namespace ReadingCheck
