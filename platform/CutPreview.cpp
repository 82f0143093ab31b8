#include "CutPreview.h"

#include <QAction>
#include <QIcon>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPolygonF>
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

namespace {

// A warning sign drawn here: the style's own one is looked up in the icon theme, a search of
// every folder of the theme (thousands of file lookups at each start) where it has none.
QIcon WarningSign(int side, qreal pixelRatio) {
    QPixmap pixmap(QSize(side, side) * pixelRatio);
    pixmap.setDevicePixelRatio(pixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = side;
    const QPolygonF triangle{{s / 2, 1}, {s - 1, s - 1.5}, {1, s - 1.5}};
    painter.setPen(QPen(QColor(0x8a, 0x5a, 0x00), 1));
    painter.setBrush(QColor(0xf5, 0xc2, 0x11));
    painter.drawPolygon(triangle);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawRect(QRectF(s / 2 - s / 16, s * 0.35, s / 8, s * 0.3));
    painter.drawRect(QRectF(s / 2 - s / 16, s * 0.72, s / 8, s / 8));
    return QIcon(pixmap);
}

}  // namespace

void Attach(QLineEdit* box, int width, const QString& when) {
    const int side = box->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, box);
    auto* mark =
        box->addAction(WarningSign(side, box->devicePixelRatioF()), QLineEdit::TrailingPosition);
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
