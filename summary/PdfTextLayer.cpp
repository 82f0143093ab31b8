#include "PdfTextLayer.h"

#include <QList>
#include <QRawFont>
#include <QString>
#include <vector>

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// 0 for the code points Japanese text is written in, 1 for the rest.
int Rank(char16_t code) {
    const bool cjk = (code >= 0x3000 && code <= 0x9FFF) || (code >= 0xFF00 && code <= 0xFFEF);
    return cjk ? 0 : 1;
}

// The code points that only stand in for a glyph the text reaches otherwise: the radicals
// and general punctuation (em space, hyphenation point). A minus (U+2212) stays a minus even
// where the font draws it as the full-width one.
bool StandsIn(char16_t code) {
    return (code >= 0x2000 && code <= 0x206F) || (code >= 0x2E80 && code <= 0x2FDF);
}

// Rewrites the four-digit hex token at `at` ("<2F9D>") when `codes` names it.
void MendToken(QByteArray& pdf, qsizetype at, const QHash<char16_t, char16_t>& codes) {
    int code = 0;
    for (int i = 1; i <= 4; ++i) {
        const int digit = HexValue(pdf[at + i]);
        if (digit < 0) return;
        code = code * 16 + digit;
    }
    const auto found = codes.constFind(char16_t(code));
    if (found == codes.cend()) return;
    const QByteArray hex = QByteArray::number(*found, 16).toUpper().rightJustified(4, '0');
    for (int i = 0; i < 4; ++i) pdf[at + 1 + i] = hex[i];
}

// The destinations of one line of a map section: after one source code in a bfchar line,
// after two in a bfrange line. A range "<a> <b> <d>" with a < b counts up from d and is left.
void MendLine(QByteArray& pdf, qsizetype begin, qsizetype end, int sources,
              const QHash<char16_t, char16_t>& codes) {
    QList<qsizetype> tokens;
    bool array = false;
    for (qsizetype i = begin; i < end; ++i) {
        if (pdf[i] == '[') array = true;
        if (pdf[i] == '<' && i + 5 < end + 1 && pdf[i + 5] == '>') tokens << i;
    }
    if (tokens.size() <= sources) return;
    if (sources == 2 && !array && pdf.mid(tokens[0], 6) != pdf.mid(tokens[1], 6)) return;
    for (qsizetype t = sources; t < tokens.size(); ++t) MendToken(pdf, tokens[t], codes);
}

void MendSections(QByteArray& pdf, const QByteArray& begin, const QByteArray& end, int sources,
                  const QHash<char16_t, char16_t>& codes) {
    qsizetype from = 0;
    while ((from = pdf.indexOf(begin, from)) >= 0) {
        const qsizetype stop = pdf.indexOf(end, from);
        if (stop < 0) return;
        qsizetype line = pdf.indexOf('\n', from);
        while (line >= 0 && line < stop) {
            const qsizetype next = pdf.indexOf('\n', line + 1);
            MendLine(pdf, line + 1, next < 0 || next > stop ? stop : next, sources, codes);
            line = next;
        }
        from = stop;
    }
}

}  // namespace

namespace PdfTextLayer {

QHash<char16_t, char16_t> PreferredCodes(const QRawFont& font) {
    // Every code point of the basic plane but the surrogates, looked up at once.
    std::vector<QChar> chars;
    chars.reserve(0x10000);
    for (char32_t c = 0; c < 0x10000; ++c)
        if (c < 0xD800 || c > 0xDFFF) chars.push_back(QChar(char16_t(c)));
    std::vector<quint32> glyphs(chars.size());
    int count = int(glyphs.size());
    if (!font.isValid() ||
        !font.glyphIndexesForChars(chars.data(), int(chars.size()), glyphs.data(), &count))
        return {};
    QHash<quint32, char16_t> lowest;
    QHash<quint32, char16_t> preferred;
    for (size_t i = 0; i < chars.size(); ++i) {
        const quint32 glyph = glyphs[i];
        if (glyph == 0) continue;
        const char16_t code = chars[i].unicode();
        if (!lowest.contains(glyph)) lowest.insert(glyph, code);
        const auto best = preferred.constFind(glyph);
        if (best == preferred.cend() || Rank(code) < Rank(*best)) preferred.insert(glyph, code);
    }
    QHash<char16_t, char16_t> codes;
    for (auto it = lowest.cbegin(); it != lowest.cend(); ++it)
        if (StandsIn(it.value()) && preferred.value(it.key()) != it.value())
            codes.insert(it.value(), preferred.value(it.key()));
    return codes;
}

QByteArray Mend(QByteArray pdf, const QHash<char16_t, char16_t>& codes) {
    if (codes.isEmpty()) return pdf;
    MendSections(pdf, "beginbfchar", "endbfchar", 1, codes);
    MendSections(pdf, "beginbfrange", "endbfrange", 2, codes);
    return pdf;
}

}  // namespace PdfTextLayer
