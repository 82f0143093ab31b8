#include "LinePrintBox.h"

#include <QPainter>

LinePrintBox::LinePrintBox(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}

void LinePrintBox::Print(const QString& line) {
    if (m_lines.size() >= MaxLines) return;
    m_lines.append(line);
    update();
}

void LinePrintBox::Cls() {
    m_lines.clear();
    update();
}

void LinePrintBox::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect area = contentsRect().adjusted(4, 2, -4, -2);
    const int step = painter.fontMetrics().lineSpacing();
    int y = area.top();
    for (const QString& line : m_lines) {
        if (y + step > area.bottom() + step) break;
        painter.drawText(QRect(area.left(), y, area.width(), step),
                         Qt::AlignLeft | Qt::AlignVCenter, line);
        y += step;
    }
}
