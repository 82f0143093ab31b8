#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

#include "ClassSummary.h"

// The per-pupil table: No., the three items, sex, age, height, weight, standard weight,
// obesity degree, judgement and the reason a pupil was not judged. Rows of 肥満傾向 and
// 痩身傾向 are shaded in their class's colour. Sorting uses SortRole: numbers as numbers.
class PupilModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int SortRole = Qt::UserRole;
    static constexpr int ColumnCount = 12;

    explicit PupilModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}
    void SetSummary(const QList<Pupil>& pupils, const QStringList& captions);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QList<Pupil> m_pupils;
    QStringList m_headings;
};

// The group statistics, one row per group and sex, as the report prints them.
class GroupStatsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GroupStatsModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}
    void SetRows(const QList<GroupRow>& rows);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QList<GroupRow> m_rows;
};
