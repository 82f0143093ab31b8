#pragma once

#include <QAbstractTableModel>
#include <QList>

#include "ReadingJournal.h"

// The grid of the 受信履歴 window: one row per reading, in the order they arrived, the person
// each belongs to first (JournalFormat::ByPerson); readings never written in bold red.
class JournalModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { PersonColumn, TimeColumn, NumberColumn, KindColumn, ValueColumn, FateColumn };
    static constexpr int ColumnCount = FateColumn + 1;

    explicit JournalModel(QObject* parent = nullptr);

    void SetEntries(const QList<JournalEntry>& entries);
    const JournalEntry& EntryAt(int row) const { return m_rows.at(row).Entry; }
    int PersonAt(int row) const { return m_rows.at(row).Person; }  // 1 for the first person
    int NeverWrittenCount() const;
    // What the fate column says: "未書込" first for a reading never written.
    static QString StateText(const JournalEntry& entry);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    struct Row {
        int Person = 0;
        JournalEntry Entry;
    };
    QVariant Text(const Row& row, int column) const;

    QList<Row> m_rows;
};
