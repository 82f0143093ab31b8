#include "BenchSupport.h"

#include <QDir>

#include "G_Param.h"
#include "RecordFile.h"

BenchFolder::BenchFolder() {
    QDir(m_dir.path()).mkpath(QStringLiteral("Org"));
    QDir(m_dir.path()).mkpath(QStringLiteral("Name_List"));
    G_Param = GlobalParams{};
    G_Param.SetFolders(m_dir.path());
}

bool BenchFolder::WriteFullSet() const {
    return bool(RecordFile::Replace(G_Param.RecordFilePath(),
                                    BenchData::MeasurementSet(BenchData::FullSet)));
}

namespace BenchData {

MeasureRecord Person(int k) {
    MeasureRecord r;
    r.SubLabel1 = QStringLiteral("%1年%2組").arg(k % 6 + 1).arg(k % 4 + 1);
    r.SubLabel2 = QString::number(k % 40 + 1);
    r.SubLabel3 = QStringLiteral("山田 太郎%1").arg(k);
    r.Values.SittingHeight = QStringLiteral("90.5");
    r.Values.Height = QString::number(120.0 + (k % 600) / 10.0, 'f', 1);
    r.Values.Bmi = QStringLiteral("20.8");
    r.Values.Weight = QString::number(25.0 + (k % 500) / 10.0, 'f', 1);
    r.Values.BmiStdWeight = QStringLiteral("63.58");
    r.Values.HibiStdWeightMale = QStringLiteral("63.24");
    r.Values.HibiStdWeightFemale = QStringLiteral("63.70");
    r.Values.HibiObesityMale = QStringLiteral("-5.12");
    r.Values.HibiObesityFemale = QStringLiteral("-5.81");
    return r;
}

QList<MeasureRecord> MeasurementSet(int count) {
    MeasureRecord header;
    header.SubLabel1 = QStringLiteral("身体測定");
    header.SubLabel2 = QStringLiteral("2024/05/01");
    header.SubLabel3 = QStringLiteral("山田");
    MeasureRecord captions;
    captions.SubLabel1 = QStringLiteral("組");
    captions.SubLabel2 = QStringLiteral("出席番号");
    captions.SubLabel3 = QStringLiteral("氏名");
    QList<MeasureRecord> records{header, captions};
    for (int k = 1; k <= count; ++k) records.append(Person(k));
    return records;
}

QList<NameListEntry> NameList(int count) {
    QList<NameListEntry> entries;
    for (int k = 1; k <= count; ++k)
        entries.append(
            NameListEntry{{QStringLiteral("%1年%2組").arg(k % 6 + 1).arg(k % 4 + 1),
                           QString::number(k % 40 + 1), QStringLiteral("山田 太郎%1").arg(k)}});
    return entries;
}

}  // namespace BenchData
