#pragma once

#include <QString>
#include <QStringView>
#include <algorithm>
#include <cstring>

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

// The same as a view, for texts built on the spot.
inline QStringView WithoutTrailingSpaces(QStringView text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == u' ') --end;
    return text.first(end);
}

// Three texts as one, made in a single allocation: the printed line of every frame.
inline QString Concatenated(QStringView a, QStringView b, QStringView c) {
    QString text(a.size() + b.size() + c.size(), Qt::Uninitialized);
    QChar* p = text.data();
    p = std::copy(a.begin(), a.end(), p);
    p = std::copy(b.begin(), b.end(), p);
    std::copy(c.begin(), c.end(), p);
    return text;
}

// A text of exactly N characters: assignment pads with spaces on the right or cuts.
// Assignment writes into the text's own characters, so that the dozen fields every received
// frame sets cost no allocation; a copy handed out (Value()) keeps its characters.
template <int N>
class FixedText {
public:
    static constexpr int Length = N;

    FixedText() : m_text(N, u' ') {}
    FixedText(const QString& text) { Assign(text); }  // NOLINT: assigning a text is the point
    FixedText(const FixedText&) = default;
    FixedText(FixedText&&) noexcept = default;
    FixedText& operator=(const QString& text) {
        Assign(text);
        return *this;
    }
    FixedText& operator=(QStringView text) {
        Assign(text);
        return *this;
    }
    FixedText& operator=(const FixedText& other) {
        if (this != &other) Assign(other.m_text);
        return *this;
    }
    FixedText& operator=(FixedText&&) noexcept = default;
    ~FixedText() = default;

    // Latin-1 characters, as number formatting makes them.
    void AssignLatin1(const char* text, qsizetype length) {
        const qsizetype n = std::min<qsizetype>(length, N);
        QChar* out = Characters();
        for (qsizetype i = 0; i < n; ++i) out[i] = QLatin1Char(text[i]);
        std::fill(out + n, out + N, QChar(u' '));
    }

    const QString& Value() const { return m_text; }
    operator const QString&() const { return m_text; }  // NOLINT
    QString Trimmed() const { return TrimSpaces(m_text); }
    bool IsBlank() const {
        return std::all_of(m_text.cbegin(), m_text.cend(), [](QChar c) { return c == u' '; });
    }
    bool operator==(const FixedText&) const = default;

private:
    // The N characters to write to; a text that still shares them gets a copy first.
    QChar* Characters() {
        if (m_text.size() != N) m_text.resize(N);  // a moved-from text
        return m_text.data();
    }
    void Assign(QStringView text) {
        const qsizetype n = std::min<qsizetype>(text.size(), N);
        QChar* out = Characters();
        // A view of these very characters starts at or after them (a shared text was copied
        // above and the view keeps reading the other owner's characters).
        if (n > 0 && text.data() != out) std::memmove(out, text.data(), size_t(n) * sizeof(QChar));
        std::fill(out + n, out + N, QChar(u' '));
    }
    QString m_text;
};

using Text20 = FixedText<20>;
using Text10 = FixedText<10>;
