#include "imlLogo.h"

#include <QPainter>
#include <QPixmap>

namespace {

QIcon Drawn(int index) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (index < 1 || index > 3) {
        // Offline: a grey plug with a red bar.
        p.setPen(QPen(Qt::darkGray, 3));
        p.drawLine(4, 16, 13, 16);
        p.drawLine(19, 16, 28, 16);
        p.setPen(QPen(QColor(200, 30, 30), 3));
        p.drawLine(10, 24, 22, 8);
    } else {
        // Online: three waves, the active one highlighted in turn.
        p.setBrush(QColor(30, 140, 60));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(6, 16), 3.5, 3.5);
        for (int wave = 1; wave <= 3; ++wave) {
            const QColor colour = wave == index ? QColor(30, 160, 60) : QColor(170, 200, 175);
            p.setPen(QPen(colour, 2.5));
            p.setBrush(Qt::NoBrush);
            const int r = 6 * wave;
            p.drawArc(QRectF(6 - r, 16 - r, 2 * r, 2 * r), -50 * 16, 100 * 16);
        }
    }
    p.end();
    return QIcon(pixmap);
}

}  // namespace

imlLogo::imlLogo() {
    for (int i = 0; i < int(m_pictures.size()); ++i) m_pictures[size_t(i)] = Drawn(i);
}

const QIcon& imlLogo::Picture(int index) const {
    return m_pictures[size_t(index >= 1 && index <= 3 ? index : 0)];
}
