#pragma once

#include <QString>
#include <algorithm>

// Removes the ASCII spaces that pad stored fields, on both sides. Other white space (a
// full-width space typed on purpose, a tab) is part of the text.
inline QString TrimSpaces(const QString& text) {
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text.at(start) == u' ') ++start;
    while (end > start && text.at(end - 1) == u' ') --end;
    return text.mid(start, end - start);
}

// Removes the padding spaces on the right only: a printed value keeps a leading space.
inline QString TrimTrailingSpaces(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == u' ') --end;
    return text.left(end);
}

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
    QString Trimmed() const { return TrimSpaces(m_text); }
    bool IsBlank() const {
        return std::all_of(m_text.cbegin(), m_text.cend(), [](QChar c) { return c == u' '; });
    }
    bool operator==(const FixedText&) const = default;

private:
    void Assign(const QString& text) {
        // One allocation at most: every received frame assigns a dozen of these.
        if (text.size() == N) {
            m_text = text;
            return;
        }
        m_text = text.leftJustified(N, u' ', true);
    }
    QString m_text;
};

using Text20 = FixedText<20>;
using Text10 = FixedText<10>;
