#pragma once

#include <QByteArray>
#include <QHash>

class QRawFont;

// Qt writes the text layer of an embedded font (its ToUnicode map) from the lowest code point
// that reaches each glyph. Japanese fonts reach many glyphs from lower, rarer code points
// first: 身 from the Kangxi radical U+2F9D, 長 from U+2ED1, "・" from U+2027, the ideographic
// space from U+2003. A PDF's 身長 would then be found only as radicals, and a search for 高橋
// would fail. These put the character the program draws back into the maps.
namespace PdfTextLayer {

// For each glyph of `font` that Qt would name by a radical or a general punctuation mark
// while kana, ideographs, CJK symbols or full-width forms reach it too: that code point →
// the lowest of those.
QHash<char16_t, char16_t> PreferredCodes(const QRawFont& font);
// The ToUnicode maps of `pdf` with the destinations of `codes` replaced. The byte count
// stays, so the file's cross-reference table stays right.
QByteArray Mend(QByteArray pdf, const QHash<char16_t, char16_t>& codes);

}  // namespace PdfTextLayer
