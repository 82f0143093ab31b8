#include "PreviewModel.h"

#include "ExportTexts.h"
#include "mdlStandard.h"

namespace {

QString CellText(const MeasureRecord& r, int column) {
    const MeasureValues& v = r.Values;
    const auto decimal = [](const Text10& field) {
        QString text = field.Trimmed();
        EnsureDecimal(text);
        return text;
    };
    switch (column) {
        case 1:
            return r.SubLabel1.Trimmed();
        case 2:
            return r.SubLabel2.Trimmed();
        case 3:
            return r.SubLabel3.Trimmed();
        case 4:
            return decimal(v.Height);
        case 5:
            return decimal(v.Weight);
        case 6:
            return decimal(v.Bmi);
        case 7:
            return decimal(v.SittingHeight);
        case 8:
            return v.BmiStdWeight.Trimmed();
        case 9:
            return v.HibiStdWeightMale.Trimmed();
        case 10:
            return v.HibiStdWeightFemale.Trimmed();
        case 11:
            return v.HibiObesityMale.Trimmed();
        case 12:
            return v.HibiObesityFemale.Trimmed();
        default:
            return QString();
    }
}

}  // namespace

PreviewModel::PreviewModel(QList<MeasureRecord> records, QStringList captions, QObject* parent)
    : QAbstractTableModel(parent), m_records(std::move(records)) {
    m_headings << QStringLiteral("No.") << captions.mid(0, 3) << ExportTexts::ValueHeadings;
    while (m_headings.size() < ColumnCount) m_headings << QString();
}

int PreviewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_records.size());
}

int PreviewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PreviewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_records.size()) return {};
    if (role == Qt::TextAlignmentRole)
        return int(index.column() <= 3 ? Qt::AlignLeft | Qt::AlignVCenter
                                       : Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole) return {};
    if (index.column() == 0) return index.row() + 1;
    return CellText(m_records[index.row()], index.column());
}

QVariant PreviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return m_headings[section];
}

Qt::ItemFlags PreviewModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
