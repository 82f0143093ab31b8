// A record file of any bytes and length: counting, reading every record, and writing one
// record anywhere from the first to two past the end. Whole records count; the remainder of a
// torn last record is ignored; a write changes only its record, fills a gap with blank
// records and never leaves the file at other than whole records past the old ones.
#include <QFile>
#include <QTemporaryDir>

#include "DeviceSyncDouble.h"
#include "FuzzInput.h"
#include "G_Const.h"
#include "RecordFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("zqmtemp.rdm"));
    FuzzInput in(data, size);
    const int step = in.Byte() % 4;  // where to write: 0 = first record .. 3 = two past the end
    const MeasureRecord written = MeasureRecord::Decode(in.Bytes(in.Byte()));
    const QByteArray old = in.Rest();
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(old) == old.size());
    }

    const int count = RecordFile::Count(path);
    FUZZ_CHECK(count == old.size() / G_Const::RecordLength);
    const QList<MeasureRecord> before = RecordFile::ReadAll(path);
    FUZZ_CHECK(before.size() == count);
    for (int r = 1; r <= count; ++r) {
        const RecordFile::ReadResult read = RecordFile::Read(path, r);
        FUZZ_CHECK(!read.PastEnd && read.Record == before[r - 1]);
    }
    FUZZ_CHECK(RecordFile::Read(path, count + 1).PastEnd);

    const int r = step == 0 ? 1 : count + step - 1 > 0 ? count + step - 1 : 1;
    // The layout is fuzzed, not the device: a sync per input would only slow the runs.
    DeviceSyncDouble sync;
    FUZZ_CHECK(bool(RecordFile::Write(path, r, written, sync)));
    FUZZ_CHECK(sync.Calls.size() == 1);
    const QList<MeasureRecord> after = RecordFile::ReadAll(path);
    FUZZ_CHECK(after.size() == std::max(count, r));
    for (int i = 0; i < after.size(); ++i) {
        if (i == r - 1) {
            FUZZ_CHECK(after[i] == MeasureRecord::Decode(written.Encode()));
        } else if (i < count) {
            FUZZ_CHECK(after[i] == before[i]);
        } else {
            FUZZ_CHECK(after[i] == MeasureRecord{});
        }
    }
    // A write past the old records leaves whole records only; one inside keeps the remainder.
    const qint64 length = QFile(path).size();
    FUZZ_CHECK(r > count ? length == qint64(r) * G_Const::RecordLength : length == old.size());
    return 0;
}
