#include "MeasureRecord.h"

#include <array>

#include "Cp932.h"
#include "G_Const.h"

namespace {
// Field widths in bytes, in record order.
constexpr std::array<int, 12> kWidths{20, 20, 20, 10, 10, 10, 10, 10, 10, 10, 10, 10};

// Visits the twelve fields in record order; R is MeasureRecord or const MeasureRecord.
template <typename R, typename F>
void ForEachField(R& r, F&& f) {
    f(r.SubLabel1);
    f(r.SubLabel2);
    f(r.SubLabel3);
    auto& v = r.Values;
    f(v.SittingHeight);
    f(v.Height);
    f(v.Bmi);
    f(v.Weight);
    f(v.BmiStdWeight);
    f(v.HibiStdWeightMale);
    f(v.HibiStdWeightFemale);
    f(v.HibiObesityMale);
    f(v.HibiObesityFemale);
}
}  // namespace

QByteArray MeasureRecord::Encode() const {
    QByteArray bytes;
    bytes.reserve(G_Const::RecordLength);
    int i = 0;
    ForEachField(*this, [&](const auto& field) {
        bytes += Cp932::EncodeField(field.Value(), kWidths[i++]);
    });
    return bytes;
}

MeasureRecord MeasureRecord::Decode(const QByteArray& raw) {
    QByteArray bytes = raw.left(G_Const::RecordLength);
    bytes.append(G_Const::RecordLength - bytes.size(), ' ');
    // Bytes never written (a gap the file system filled with zeros) read as blanks.
    bytes.replace('\0', ' ');
    MeasureRecord record;
    int offset = 0;
    int i = 0;
    ForEachField(record, [&](auto& field) {
        field = TrimSpaces(Cp932::Decode(bytes.mid(offset, kWidths[i])));
        offset += kWidths[i++];
    });
    return record;
}

bool MeasureValues::AnyMeasured() const {
    for (const Text10* v :
         {&SittingHeight, &Height, &Bmi, &Weight, &BmiStdWeight, &HibiStdWeightMale,
          &HibiStdWeightFemale, &HibiObesityMale, &HibiObesityFemale})
        if (!v->IsBlank()) return true;
    return false;
}
