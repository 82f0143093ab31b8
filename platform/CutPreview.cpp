#include "CutPreview.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QStyle>

#include "Cp932.h"

namespace CutPreview {

std::optional<QString> KeptText(const QString& text, int width) {
    if (Cp932::Encode(text).size() <= width) return std::nullopt;
    QString kept = Cp932::Decode(Cp932::EncodeField(text, width));
    while (!kept.isEmpty() && kept.back() == u' ') kept.chop(1);
    while (!kept.isEmpty() && kept.front() == u' ') kept.remove(0, 1);
    return kept;
}

QString Tip(const QString& text, int width, const QString& when) {
    const std::optional<QString> kept = KeptText(text, width);
    return kept ? when + QStringLiteral("「") + *kept + QStringLiteral("」になります") : QString();
}

void Attach(QLineEdit* box, int width, const QString& when) {
    auto* mark = box->addAction(box->style()->standardIcon(QStyle::SP_MessageBoxWarning),
                                QLineEdit::TrailingPosition);
    mark->setObjectName(box->objectName() + QStringLiteral("_cut"));
    mark->setVisible(false);
    const QString ownTip = box->toolTip();
    const auto update = [box, mark, width, when, ownTip](const QString& text) {
        const QString tip = Tip(text, width, when);
        mark->setVisible(!tip.isEmpty());
        mark->setToolTip(tip);
        box->setToolTip(tip.isEmpty() ? ownTip : tip);
    };
    QObject::connect(box, &QLineEdit::textChanged, mark, update);
    update(box->text());
}

}  // namespace CutPreview
