// A name list from any bytes: reading never fails, its entries become a measurement set of
// whole records, and the entries written and read again come back as stored.
#include "Cp932.h"
#include "FuzzInput.h"
#include "G_Const.h"
#include "NameListFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    const QList<NameListEntry> entries = NameListFile::Parse(in.Rest());

    const QList<MeasureRecord> set = NameListFile::MeasurementSet(entries);
    FUZZ_CHECK(set.size() == G_Const::HeaderRecords + entries.size());
    for (const MeasureRecord& record : set)
        FUZZ_CHECK(record.Encode().size() == G_Const::RecordLength);

    QList<NameListEntry> expected = entries;
    for (NameListEntry& entry : expected)
        for (QString& item : entry.Items)
            item = Cp932::Decode(Cp932::Encode(NameListFile::StorableItem(item)));
    FUZZ_CHECK(NameListFile::Parse(NameListFile::Format(entries)) == expected);
    return 0;
}
