#include "mdlDataLoadFunc.h"

#include "FixedText.h"
#include "G_Const.h"
#include "MainTexts.h"

namespace mdlDataLoadFunc {

QString WindowTitle(const QString& trimmedTitle, bool autoWriteOn) {
    QString title = G_Const::ProductName + u' ' + G_Const::Version;
    if (!trimmedTitle.isEmpty()) title = trimmedTitle + QStringLiteral(" - ") + title;
    if (autoWriteOn) title += MainTexts::AutoWriteMark;
    return title;
}

QString SubLabelCaption(const QString& caption, int number) {
    const QString trimmed = TrimSpaces(caption);
    return trimmed.isEmpty() ? QStringLiteral("項目%1").arg(number) : trimmed;
}

ValueLabels BuildValueLabels(const MeasureValues& v) {
    const auto label = [](const QString& name, const QString& spaces, const Text10& value,
                          const QString& unit) {
        const QString trimmed = value.Trimmed();
        return name + spaces + (trimmed.isEmpty() ? MainTexts::NoValue : trimmed + unit);
    };
    const QString three = QStringLiteral("   ");
    ValueLabels out;
    out.Height = label(QStringLiteral("身長"), three, v.Height, QStringLiteral("cm"));
    out.Weight = label(QStringLiteral("体重"), three, v.Weight, QStringLiteral("kg"));
    out.SittingHeight = label(QStringLiteral("座高"), three, v.SittingHeight, QStringLiteral("cm"));
    out.FatRatio = label(QStringLiteral("BMI値"), QStringLiteral("  "), v.Bmi, QString());
    out.BmiResult = v.Bmi.IsBlank() ? MainTexts::NoValue : v.Bmi.Trimmed();
    out.AnyValue = !v.Height.IsBlank() || !v.Weight.IsBlank() || !v.SittingHeight.IsBlank() ||
                   !v.Bmi.IsBlank();
    return out;
}

}  // namespace mdlDataLoadFunc
