#include "SummaryModels.h"

#include <QBrush>

#include "SummaryChart.h"

namespace {

const QStringList kStatsHeadings{QStringLiteral("グループ"),      QStringLiteral("性別"),
                                 QStringLiteral("人数"),          QStringLiteral("身長 平均"),
                                 QStringLiteral("身長 標準偏差"), QStringLiteral("体重 平均"),
                                 QStringLiteral("体重 標準偏差"), QStringLiteral("座高 平均"),
                                 QStringLiteral("座高 標準偏差"), QStringLiteral("高度やせ"),
                                 QStringLiteral("やせ"),          QStringLiteral("普通"),
                                 QStringLiteral("軽度肥満"),      QStringLiteral("中等度肥満"),
                                 QStringLiteral("高度肥満"),      QStringLiteral("判定できない"),
                                 QStringLiteral("肥満傾向[%]"),   QStringLiteral("痩身傾向[%]"),
                                 QStringLiteral("除外（要確認）")};

QVariant Decimal(const QString& text) {
    const std::optional<qint64> value = TenThousandths(text);
    return value ? QVariant(double(*value) / 10000) : QVariant(-1e9);  // blanks sort first
}

}  // namespace

void PupilModel::SetSummary(const QList<Pupil>& pupils, const QStringList& captions) {
    beginResetModel();
    m_pupils = pupils;
    m_headings = QStringList{QStringLiteral("No.")} + captions +
                 QStringList{QStringLiteral("性別"),         QStringLiteral("年齢"),
                             QStringLiteral("身長[cm]"),     QStringLiteral("体重[kg]"),
                             QStringLiteral("標準体重[kg]"), QStringLiteral("肥満度[%]"),
                             QStringLiteral("判定"),         QStringLiteral("備考")};
    endResetModel();
}

int PupilModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_pupils.size());
}

int PupilModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PupilModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const Pupil& p = m_pupils[index.row()];
    const ObesityResult& r = p.Result;
    const int column = index.column();
    if (role == Qt::BackgroundRole)
        return p.NeedsAttention() ? QBrush(JudgementTint(r.Class))
               : p.LeftOut()      ? QBrush(QColor(0xff, 0xe0, 0xe0))
                                  : QVariant();
    if (role == Qt::TextAlignmentRole)
        return column == 0 || (column >= 5 && column <= 9)
                   ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter))
                   : QVariant();
    if (role != Qt::DisplayRole && role != SortRole) return {};
    const bool sort = role == SortRole;
    switch (column) {
        case 0:
            return sort ? QVariant(p.Number) : QVariant(QString::number(p.Number));
        case 1:
        case 2:
        case 3:
            return p.Items[column - 1];
        case 4:
            return SexText(p.PupilSex);
        case 5:
            if (sort) return p.Age.value_or(-1);
            return p.Age ? QString::number(*p.Age) : QString();
        case 6:
            return sort ? Decimal(p.Height) : QVariant(p.Height);
        case 7:
            return sort ? Decimal(p.Weight) : QVariant(p.Weight);
        case 8:
            if (sort) return r.Judged ? double(r.StdWeightE7) : -1e9;
            return r.Judged ? r.StdWeightText() : QString();
        case 9:
            if (sort) return r.Judged ? double(r.ObesityTenths) : -1e12;
            return r.Judged ? r.ObesityText() : QString();
        case 10:
            if (sort) return r.Judged ? static_cast<int>(r.Class) : r.Implausible ? -2 : -1;
            return r.Label();
        case 11:
            return r.Reason;
    }
    return {};
}

QVariant PupilModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    return m_headings.value(section);
}

void GroupStatsModel::SetRows(const QList<GroupRow>& rows) {
    beginResetModel();
    m_rows = rows;
    endResetModel();
}

int GroupStatsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int GroupStatsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(kStatsHeadings.size());
}

QVariant GroupStatsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const GroupRow& row = m_rows[index.row()];
    const int column = index.column();
    if (role == Qt::TextAlignmentRole && column >= 2) return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::BackgroundRole && row.SexLabel == u"計")
        return QBrush(QColor(0xf0, 0xf0, 0xf0));
    if (role != Qt::DisplayRole) return {};
    const auto mean = [](const Spread& s) {
        return s.Count ? DecimalText(s.Mean, 1) : QStringLiteral("—");
    };
    const auto sd = [](const Spread& s) {
        return s.Count ? DecimalText(s.Sd, 2) : QStringLiteral("—");
    };
    switch (column) {
        case 0:
            return row.Group;
        case 1:
            return row.SexLabel;
        case 2:
            return row.Measured;
        case 3:
            return mean(row.Height);
        case 4:
            return sd(row.Height);
        case 5:
            return mean(row.Weight);
        case 6:
            return sd(row.Weight);
        case 7:
            return mean(row.SittingHeight);
        case 8:
            return sd(row.SittingHeight);
        case 15:
            return row.NotJudged;
        case 16:
            return DecimalText(row.ObeseShare(), 1);
        case 17:
            return DecimalText(row.ThinShare(), 1);
        case 18:
            return row.LeftOut;
        default:
            return row.Classes[column - 9];
    }
}

QVariant GroupStatsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    return kStatsHeadings.value(section);
}
