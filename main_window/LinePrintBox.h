#pragma once

#include <QFrame>
#include <QStringList>

// A box that prints one line per call, top-down, until it is cleared.
class LinePrintBox : public QFrame {
    Q_OBJECT
public:
    explicit LinePrintBox(QWidget* parent = nullptr);
    void Print(const QString& line);
    void Cls();
    const QStringList& Lines() const { return m_lines; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QStringList m_lines;
};
