#include "Cp932.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <utility>

namespace {
constexpr const char* kCodecName = "windows-31j";

// One character (or surrogate pair) to CP932; '?' when CP932 has no such character.
QByteArray EncodeChar(QStringView ch) {
    QStringEncoder encoder(kCodecName, QStringConverter::Flag::Stateless);
    QByteArray bytes = encoder.encode(ch);
    if (encoder.hasError() || bytes.isEmpty()) return QByteArray("?");
    return bytes;
}

// A surrogate pair is one character; a lone surrogate is one on its own and must not take the
// character after it along (a closing quote of a CSV field, say).
qsizetype CharLength(const QString& text, qsizetype i) {
    return (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
               ? 2
               : 1;
}

// Characters that JIS-based input (other systems, pasted lists) spells differently from
// code page 932 and that Windows itself converts to the code page's form; the converter
// alone would turn them into '?'.
constexpr std::pair<char16_t, char16_t> kCodePageForms[] = {
    {u'\u301C', u'\uFF5E'},  // wave dash: fullwidth tilde, 0x81 0x60
    {u'\u2016', u'\u2225'},  // double vertical line: parallel to
    {u'\u2212', u'\uFF0D'},  // minus sign: fullwidth hyphen-minus
    {u'\u2014', u'\u2015'},  // em dash: horizontal bar
    {u'\u00A2', u'\uFFE0'},  // cent sign
    {u'\u00A3', u'\uFFE1'},  // pound sign
    {u'\u00AC', u'\uFFE2'},  // not sign
};

QString ToCodePageForms(const QString& text) {
    QString out = text;
    for (const auto& [from, to] : kCodePageForms) out.replace(QChar(from), QChar(to));
    return out;
}

bool IsLeadByte(uchar b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Whether the bytes end in the first half of a two-byte character (a field cut by an older
// writer, a damaged file). The converter would silently swallow such a byte.
bool EndsInLeadByte(const QByteArray& bytes) {
    bool lead = false;
    for (const char c : bytes) lead = !lead && IsLeadByte(uchar(c));
    return lead;
}
}  // namespace

namespace Cp932 {

QByteArray Encode(const QString& original) {
    const QString text = ToCodePageForms(original);
    // Stateless: a kept encoder would hold a high surrogate at the end, waiting for its other
    // half, and drop it silently instead of reporting it.
    QStringEncoder encoder(kCodecName, QStringConverter::Flag::Stateless);
    QByteArray bytes = encoder.encode(text);
    if (!encoder.hasError()) return bytes;
    // ICU substitutes its own two-byte filler; a plain '?' is what readers expect.
    bytes.clear();
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len = CharLength(text, i);
        bytes += EncodeChar(QStringView(text).mid(i, len));
        i += len;
    }
    return bytes;
}

QString Decode(const QByteArray& bytes) {
    const bool cutChar = EndsInLeadByte(bytes);
    QStringDecoder decoder(kCodecName, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(cutChar ? bytes.chopped(1) : bytes);
    // ICU marks undecodable bytes with SUB (0x1A); show them as the replacement character.
    if (decoder.hasError()) text.replace(QChar(0x1A), QChar(QChar::ReplacementCharacter));
    if (cutChar) text += QChar(QChar::ReplacementCharacter);
    return text;
}

QByteArray EncodeField(const QString& original, int width) {
    const QString text = ToCodePageForms(original);
    QByteArray out = Encode(text);
    if (out.size() > width) {
        // Rebuild character by character so that a two-byte character is never split.
        out.clear();
        for (qsizetype i = 0; i < text.size();) {
            const qsizetype len = CharLength(text, i);
            const QByteArray bytes = EncodeChar(QStringView(text).mid(i, len));
            if (out.size() + bytes.size() > width) break;
            out += bytes;
            i += len;
        }
    }
    out.append(width - out.size(), ' ');
    return out;
}

}  // namespace Cp932
