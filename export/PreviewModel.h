#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

#include "MeasureRecord.h"

// The rows of the edited-data list: one per measurement record, numbered by its position,
// read-only. Cells show the stored texts without their padding; the heights, the weight
// and the BMI show a whole number with ".0".
class PreviewModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int ColumnCount = 13;

    // `captions`: the headings of the three sub-label columns.
    PreviewModel(QList<MeasureRecord> records, QStringList captions, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QList<MeasureRecord> m_records;
    QStringList m_headings;
};
