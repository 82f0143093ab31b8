#pragma once

#include <QString>

// A text of exactly N characters: assignment pads with spaces on the right or cuts.
template <int N>
class FixedText {
public:
    static constexpr int Length = N;

    FixedText() : m_text(N, u' ') {}
    FixedText(const QString& text) { Assign(text); }  // NOLINT: assigning a text is the point
    FixedText& operator=(const QString& text) {
        Assign(text);
        return *this;
    }

    const QString& Value() const { return m_text; }
    operator const QString&() const { return m_text; }  // NOLINT
    QString Trimmed() const { return m_text.trimmed(); }
    bool IsBlank() const { return m_text.trimmed().isEmpty(); }
    bool operator==(const FixedText&) const = default;

private:
    void Assign(const QString& text) {
        m_text = text.left(N);
        if (m_text.size() < N) m_text.append(QString(N - m_text.size(), u' '));
    }
    QString m_text;
};

using Text20 = FixedText<20>;
using Text10 = FixedText<10>;
