#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

#include "NameListFile.h"

// The entries of the name-list editor's grid: column 0 the entry's number, columns 1-3 its
// items. Numbers travel with their rows when rows are added, removed or moved, and are then
// rewritten 1, 2, ... in row order, as a view expects of a change to the rows. The list never holds
// more than MaxNumber entries.
class NameListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit NameListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // The one place where typed and pasted text becomes an item (see StorableItem).
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    const QList<NameListEntry>& Entries() const { return m_entries; }
    void SetEntries(const QList<NameListEntry>& entries);
    bool IsFull() const;

    // Each false when refused: the list is full, or the row does not exist.
    bool Append();
    bool Insert(int row);
    bool Remove(int row);
    // Empties the entry's three items.
    void Clear(int row);
    // Moves the entry at `from` to position `to`; the entries in between shift by one.
    bool MoveEntry(int from, int to);
    // Moves item column `from` (1-3) to position `to`: every entry's items change places.
    bool MoveItemColumn(int from, int to);
    // Fills the cells from (row, column) on with the lines of cells, appending entries as
    // needed; cells right of item 3 are dropped. False when the list got full before all
    // lines were placed.
    bool Paste(int row, int column, const QList<QStringList>& lines);

    // Text copied from a spreadsheet: one line per row, cells separated by tabs; a cell in
    // quotes (a spreadsheet's way with line breaks in a cell) is one cell, its doubled
    // quotes single. A final line end adds no row.
    static QList<QStringList> SplitPastedText(const QString& text);

private:
    // Column 0 of the rows from `fromRow` on gets "1", "2", ... in row order.
    void Renumber(int fromRow);

    QList<NameListEntry> m_entries;
    QList<int> m_numbers;  // beside each entry
};
