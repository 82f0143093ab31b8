#pragma once

#include <QByteArray>
#include <QString>

// Japanese text as the files and the meter's neighbours expect it: code page 932.
namespace Cp932 {

// Whole text to CP932; JIS-style forms (wave dash U+301C, minus U+2212, ...) take the code
// page's form as Windows gives them; characters without a CP932 form become '?'.
QByteArray Encode(const QString& text);

// CP932 bytes to text; undecodable bytes become U+FFFD, never an error.
QString Decode(const QByteArray& bytes);

// Exactly `width` bytes: cut after the last whole character that fits, padded with 0x20.
QByteArray EncodeField(const QString& text, int width);

}  // namespace Cp932
