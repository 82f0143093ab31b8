#include "Cp932.h"

#include <algorithm>
#include <optional>
#include <utility>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <QStringDecoder>
#include <QStringEncoder>
#endif

namespace {

// The system's converter for code page 932; false when it has no form for some of the input.
// Characters and bytes where the systems differ never reach it (kWindowsForms below).
#ifdef Q_OS_WIN

constexpr UINT kCodePage = 932;

bool SystemEncode(QStringView text, QByteArray& out) {
    if (text.isEmpty()) return true;
    const auto* wide = reinterpret_cast<LPCWCH>(text.utf16());
    BOOL usedDefault = FALSE;
    const int size = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide, int(text.size()),
                                         nullptr, 0, nullptr, &usedDefault);
    if (size <= 0 || usedDefault) return false;
    out.resize(size);
    return WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide, int(text.size()), out.data(),
                               size, nullptr, &usedDefault) == size &&
           !usedDefault;
}

bool SystemDecode(const QByteArray& bytes, QString& out) {
    if (bytes.isEmpty()) return true;
    const int size = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.constData(),
                                         int(bytes.size()), nullptr, 0);
    if (size <= 0) return false;
    out.resize(size);
    return MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.constData(),
                               int(bytes.size()), reinterpret_cast<LPWSTR>(out.data()),
                               size) == size;
}

#else

constexpr const char* kCodecName = "windows-31j";

// One converter each way per thread, made anew only after an error (which it keeps):
// opening ICU's converter by its name costs more than converting a record, and a day's CSV
// converts thousands of fields. (resetState() of Qt 6.4 closes an ICU converter for good.)
// Stateless: a kept encoder would hold a high surrogate at the end, waiting for its other
// half, and drop it silently instead of reporting it; stateless, each call ends flushed.
template <typename Converter>
Converter& Ready(std::optional<Converter>& converter) {
    if (!converter || converter->hasError())
        converter.emplace(kCodecName, QStringConverter::Flag::Stateless);
    return *converter;
}

bool SystemEncode(QStringView text, QByteArray& out) {
    thread_local std::optional<QStringEncoder> kept;
    QStringEncoder& encoder = Ready(kept);
    out = encoder.encode(text);
    return !encoder.hasError() && (text.isEmpty() || !out.isEmpty());
}

bool SystemDecode(const QByteArray& bytes, QString& out) {
    thread_local std::optional<QStringDecoder> kept;
    QStringDecoder& decoder = Ready(kept);
    out = decoder.decode(bytes);
    return !decoder.hasError();
}

#endif

// Where ICU's windows-31j and Windows' code page 932 disagree, Windows' mapping holds on every
// system: the files come from and go to Windows programs. ICU swaps 0x1A, 0x1C and 0x7F and
// leaves 0x80, 0xA0 and 0xFD-0xFF unmapped.
constexpr std::pair<char16_t, char> kWindowsForms[] = {
    {u'\u001A', '\x1A'}, {u'\u001C', '\x1C'}, {u'\u007F', '\x7F'}, {u'\u0080', '\x80'},
    {u'\uF8F0', '\xA0'}, {u'\uF8F1', '\xFD'}, {u'\uF8F2', '\xFE'}, {u'\uF8F3', '\xFF'},
};
// A private-use character ICU maps and Windows does not.
constexpr char16_t kIcuOnly = u'\uF86F';

bool NeedsOwnForm(QChar ch) {
    if (ch.unicode() == kIcuOnly) return true;
    for (const auto& [wide, byte] : kWindowsForms)
        if (ch.unicode() == wide) return true;
    return false;
}

// A surrogate pair is one character; a lone surrogate is one on its own and must not take the
// character after it along (a closing quote of a CSV field, say).
qsizetype CharLength(QStringView text, qsizetype i) {
    return (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
               ? 2
               : 1;
}

// One character (or surrogate pair) to CP932; '?' when CP932 has no such character.
QByteArray EncodeChar(QStringView ch) {
    if (ch.size() == 1 && NeedsOwnForm(ch.at(0))) {
        for (const auto& [wide, byte] : kWindowsForms)
            if (ch.at(0).unicode() == wide) return QByteArray(1, byte);
        return QByteArray("?");
    }
    QByteArray bytes;
    if (!SystemEncode(ch, bytes) || bytes.isEmpty()) return QByteArray("?");
    return bytes;
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

bool IsTrailByte(uchar b) {
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

// Single bytes whose meaning is fixed here rather than by the system's converter.
bool IsOwnByte(uchar b) {
    for (const auto& [wide, byte] : kWindowsForms)
        if (b == uchar(byte)) return true;
    return false;
}

// The length of the character starting at `i`: 2 for a lead byte with its trail byte, else
// 1 (a lead byte cut off or followed by a byte that cannot end it is a character of its own,
// shown as undecodable, and the byte after it is read afresh).
qsizetype ByteCharLength(const QByteArray& bytes, qsizetype i) {
    return IsLeadByte(uchar(bytes.at(i))) && i + 1 < bytes.size() &&
                   IsTrailByte(uchar(bytes.at(i + 1)))
               ? 2
               : 1;
}

QString DecodeChar(const QByteArray& unit) {
    if (unit.size() == 1 && IsOwnByte(uchar(unit.at(0)))) {
        for (const auto& [wide, byte] : kWindowsForms)
            if (unit.at(0) == byte) return QString(QChar(wide));
    }
    if (unit.size() == 1 && IsLeadByte(uchar(unit.at(0))))
        return QString(QChar(QChar::ReplacementCharacter));
    QString text;
    if (!SystemDecode(unit, text) || text.size() != 1 ||
        (unit.size() == 2 && text.at(0).unicode() < 0x80))
        return QString(QChar(QChar::ReplacementCharacter));
    return text;
}

// A run of bytes to text, each undecodable character one U+FFFD. Clean runs take one call of
// the system's converter.
QString DecodeRun(const QByteArray& bytes) {
    QString text;
    bool clean = true;
    for (qsizetype i = 0; i < bytes.size() && clean;) {
        const qsizetype len = ByteCharLength(bytes, i);
        clean = len == 2 || !IsLeadByte(uchar(bytes.at(i)));
        i += len;
    }
    // Plain ASCII is itself in code page 932; most labels and every number are, and opening
    // the system's converter for them is most of a start's conversion time.
    if (std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return uchar(c) < 0x80; }))
        return QString::fromLatin1(bytes);
    if (clean && SystemDecode(bytes, text)) return text;
    text.clear();
    for (qsizetype i = 0; i < bytes.size();) {
        const qsizetype len = ByteCharLength(bytes, i);
        text += DecodeChar(bytes.mid(i, len));
        i += len;
    }
    return text;
}

}  // namespace

namespace Cp932 {

QByteArray Encode(const QString& original) {
    const QString text = ToCodePageForms(original);
    QByteArray bytes;
    const bool ownForms = std::any_of(text.cbegin(), text.cend(), NeedsOwnForm);
    if (!ownForms &&
        std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; }))
        return text.toLatin1();
    if (!ownForms && SystemEncode(text, bytes)) return bytes;
    // Character by character: a plain '?' for each character without a form is what readers
    // expect (ICU would substitute its own two-byte filler).
    bytes.clear();
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len = CharLength(text, i);
        bytes += EncodeChar(QStringView(text).mid(i, len));
        i += len;
    }
    return bytes;
}

QString Decode(const QByteArray& bytes) {
    QString text;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size();) {
        const qsizetype len = ByteCharLength(bytes, i);
        if (len == 1 && IsOwnByte(uchar(bytes.at(i)))) {
            text += DecodeRun(bytes.mid(start, i - start));
            text += DecodeChar(bytes.mid(i, 1));
            start = i + 1;
        }
        i += len;
    }
    text += DecodeRun(bytes.mid(start));
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
