#include "NameListModel.h"

#include <QColor>
#include <algorithm>

#include "CutPreview.h"
#include "FixedText.h"
#include "G_Const.h"

namespace {
constexpr int kColumns = 4;
}

NameListModel::NameListModel(QObject* parent) : QAbstractTableModel(parent) {}

int NameListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_entries.size());
}

int NameListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant NameListModel::data(const QModelIndex& index, int role) const {
    if (!(index.isValid() && checkIndex(index))) return {};
    if (role == Qt::TextAlignmentRole && index.column() == 0)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    if (role == Qt::ToolTipRole || role == Qt::BackgroundRole) {
        // An item wider than its record field is marked before loading cuts it.
        if (index.column() == 0) return {};
        const QString tip = CutPreview::Tip(m_entries[index.row()].Items[index.column() - 1],
                                            Text20::Length, CutPreview::WhenLoaded);
        if (tip.isEmpty()) return {};
        return role == Qt::ToolTipRole ? QVariant(tip) : QVariant(QColor(255, 236, 179));
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
    if (index.column() == 0) return QString::number(m_numbers[index.row()]);
    return m_entries[index.row()].Items[index.column() - 1];
}

QVariant NameListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumns) return {};
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    if (role != Qt::DisplayRole) return {};
    return section == 0 ? QStringLiteral("No.") : QStringLiteral("項目%1").arg(section);
}

Qt::ItemFlags NameListModel::flags(const QModelIndex& index) const {
    if (!(index.isValid() && checkIndex(index))) return Qt::NoItemFlags;
    if (index.column() == 0) return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

bool NameListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || index.column() < 1 || !(index.isValid() && checkIndex(index)))
        return false;
    QString& item = m_entries[index.row()].Items[index.column() - 1];
    const QString text = NameListFile::StorableItem(value.toString());
    if (item != text) {
        item = text;
        emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    }
    return true;
}

void NameListModel::SetEntries(const QList<NameListEntry>& entries) {
    beginResetModel();
    m_entries = entries;
    m_numbers.resize(m_entries.size());
    for (qsizetype i = 0; i < m_numbers.size(); ++i) m_numbers[i] = int(i + 1);
    for (NameListEntry& entry : m_entries)
        for (QString& item : entry.Items) item = NameListFile::StorableItem(item);
    endResetModel();
}

bool NameListModel::IsFull() const {
    return m_entries.size() >= G_Const::MaxNumber;
}

bool NameListModel::Append() {
    return Insert(int(m_entries.size()));
}

bool NameListModel::Insert(int row) {
    if (IsFull() || row < 0 || row > m_entries.size()) return false;
    beginInsertRows(QModelIndex(), row, row);
    m_entries.insert(row, NameListEntry{});
    m_numbers.insert(row, row + 1);
    endInsertRows();
    Renumber(row + 1);
    return true;
}

bool NameListModel::Remove(int row) {
    if (row < 0 || row >= m_entries.size()) return false;
    beginRemoveRows(QModelIndex(), row, row);
    m_entries.removeAt(row);
    m_numbers.removeAt(row);
    endRemoveRows();
    Renumber(row);
    return true;
}

void NameListModel::Clear(int row) {
    if (row < 0 || row >= m_entries.size()) return;
    m_entries[row] = NameListEntry{};
    emit dataChanged(index(row, 1), index(row, kColumns - 1));
}

bool NameListModel::MoveEntry(int from, int to) {
    const int n = int(m_entries.size());
    if (from < 0 || from >= n || to < 0 || to >= n || from == to) return false;
    // Qt counts the destination before the move: below the source it is one further on.
    beginMoveRows(QModelIndex(), from, from, QModelIndex(), to > from ? to + 1 : to);
    m_entries.move(from, to);
    m_numbers.move(from, to);
    endMoveRows();
    Renumber(std::min(from, to));
    return true;
}

bool NameListModel::MoveItemColumn(int from, int to) {
    if (from < 1 || from >= kColumns || to < 1 || to >= kColumns || from == to) return false;
    beginMoveColumns(QModelIndex(), from, from, QModelIndex(), to > from ? to + 1 : to);
    for (NameListEntry& entry : m_entries) {
        QStringList items(entry.Items.begin(), entry.Items.end());
        items.move(from - 1, to - 1);
        std::copy(items.begin(), items.end(), entry.Items.begin());
    }
    endMoveColumns();
    return true;
}

bool NameListModel::Paste(int row, int column, const QList<QStringList>& lines) {
    if (row < 0 || column < 1 || column >= kColumns) return false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int r = row + int(i);
        if (r >= m_entries.size() && !Append()) return false;
        for (qsizetype j = 0; j < lines[i].size() && column + j < kColumns; ++j)
            setData(index(r, column + int(j)), lines[i][j]);
    }
    return true;
}

QList<QStringList> NameListModel::SplitPastedText(const QString& text) {
    QList<QStringList> lines;
    QStringList line;
    QString cell;
    bool lineOpen = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        lineOpen = true;
        if (c == u'"' && cell.isEmpty()) {
            // A spreadsheet quotes a cell holding a line break, a tab or a quote; inside,
            // a doubled quote is one. The cell runs to its closing quote.
            qsizetype j = i + 1;
            for (; j < text.size(); ++j) {
                if (text[j] != u'"') {
                    cell += text[j];
                } else if (j + 1 < text.size() && text[j + 1] == u'"') {
                    cell += u'"';
                    ++j;
                } else {
                    break;
                }
            }
            i = j;
        } else if (c == u'\t') {
            line << cell;
            cell.clear();
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
            lines << (line << cell);
            line.clear();
            cell.clear();
            lineOpen = false;
        } else {
            cell += c;
        }
    }
    if (lineOpen) lines << (line << cell);
    return lines;
}

void NameListModel::Renumber(int fromRow) {
    int changedFrom = -1;
    int changedTo = -1;
    for (int r = fromRow; r < m_numbers.size(); ++r) {
        if (m_numbers[r] == r + 1) continue;
        m_numbers[r] = r + 1;
        if (changedFrom < 0) changedFrom = r;
        changedTo = r;
    }
    if (changedFrom >= 0) emit dataChanged(index(changedFrom, 0), index(changedTo, 0));
}
