// CP932: any bytes decode without a crash, and a decoded text put into a field of any width
// comes out exactly that wide, cut only between whole characters, as the longest such prefix.
#include "Cp932.h"
#include "FuzzInput.h"

namespace {
bool IsLead(uchar b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
qsizetype CharBytes(const QByteArray& bytes, qsizetype i) {
    return IsLead(uchar(bytes.at(i))) && i + 1 < bytes.size() ? 2 : 1;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    const int width = in.Byte() % 41;
    const QString text = Cp932::Decode(in.Rest());
    const QByteArray field = Cp932::EncodeField(text, width);
    FUZZ_CHECK(field.size() == width);

    // The field is the whole characters of the full encoding that fit, then spaces.
    const QByteArray full = Cp932::Encode(text);
    qsizetype fit = 0;
    while (fit < full.size() && fit + CharBytes(full, fit) <= width) fit += CharBytes(full, fit);
    FUZZ_CHECK(field == full.left(fit) + QByteArray(width - fit, ' '));
    // Walking the field character by character ends exactly at its width.
    qsizetype at = 0;
    while (at < field.size()) at += IsLead(uchar(field.at(at))) ? 2 : 1;
    FUZZ_CHECK(at == width);
    return 0;
}
