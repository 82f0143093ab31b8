#pragma once

#include <QByteArray>

// Qt writes the text layer of an embedded font (its ToUnicode map) from the lowest code point
// that reaches each glyph. Japanese fonts reach the glyphs of many ideographs from the Kangxi
// radicals (U+2F00-U+2FD5) first, so a PDF's 身長 would be found only as ⾝⻑-like radicals
// and a search for 高橋 would fail. This puts the ideograph in place of each radical in the
// maps (a radical is never drawn by the program). The byte count stays, so the file's
// cross-reference table stays right.
namespace PdfTextLayer {

QByteArray Mend(QByteArray pdf);

}  // namespace PdfTextLayer
