#pragma once

#include <QFrame>
#include <QStringList>

// A box that prints one line per call, top-down, until it is cleared. Lines past the most the
// box can show are printed below its edge, where nobody sees them: they are not kept, so a
// meter that sends without a pause cannot grow the box without end.
class LinePrintBox : public QFrame {
    Q_OBJECT
public:
    explicit LinePrintBox(QWidget* parent = nullptr);
    // More lines than any window size shows.
    static constexpr qsizetype MaxLines = 64;

    void Print(const QString& line);
    void Cls();
    const QStringList& Lines() const { return m_lines; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QStringList m_lines;
};
