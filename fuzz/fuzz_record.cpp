// A record from any bytes: decoding never fails, encoding gives exactly 150 bytes, and a
// record read back from what was written writes the same bytes again.
#include "FuzzInput.h"
#include "G_Const.h"
#include "MeasureRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    const MeasureRecord record = MeasureRecord::Decode(in.Bytes(G_Const::RecordLength));
    const QByteArray written = record.Encode();
    FUZZ_CHECK(written.size() == G_Const::RecordLength);
    const MeasureRecord reread = MeasureRecord::Decode(written);
    FUZZ_CHECK(reread.Encode() == written);
    FUZZ_CHECK(MeasureRecord::Decode(reread.Encode()) == reread);
    return 0;
}
