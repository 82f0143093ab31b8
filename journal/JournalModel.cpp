#include "JournalModel.h"

#include <QBrush>
#include <QColor>
#include <QFont>

JournalModel::JournalModel(QObject* parent) : QAbstractTableModel(parent) {}

void JournalModel::SetEntries(const QList<JournalEntry>& entries) {
    beginResetModel();
    m_rows.clear();
    int person = 0;
    for (const QList<JournalEntry>& readings : JournalFormat::ByPerson(entries)) {
        ++person;
        for (const JournalEntry& entry : readings) m_rows.append({person, entry});
    }
    endResetModel();
}

int JournalModel::NeverWrittenCount() const {
    int count = 0;
    for (const Row& row : m_rows) count += row.Entry.NeverWritten() ? 1 : 0;
    return count;
}

QString JournalModel::StateText(const JournalEntry& entry) {
    if (!entry.NeverWritten()) return JournalFormat::FateText(entry.Fate, entry.WrittenTo);
    if (entry.Fate == ReadingFate::Pending) return QStringLiteral("未書込");
    return QStringLiteral("未書込（%1）").arg(JournalFormat::FateText(entry.Fate, 0));
}

int JournalModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int JournalModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant JournalModel::Text(const Row& row, int column) const {
    switch (column) {
        case PersonColumn:
            return row.Person;
        case TimeColumn:
            return row.Entry.Time.toString(QStringLiteral("HH:mm:ss"));
        case NumberColumn:
            return QStringLiteral("No.%1").arg(row.Entry.Number);
        case KindColumn:
            return JournalFormat::KindText(row.Entry.Kind);
        case ValueColumn:
            return row.Entry.Value.trimmed();
        case FateColumn:
            return StateText(row.Entry);
    }
    return {};
}

QVariant JournalModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.size()) return {};
    const Row& row = m_rows.at(index.row());
    switch (role) {
        case Qt::DisplayRole:
            return Text(row, index.column());
        case Qt::TextAlignmentRole:
            return index.column() == ValueColumn || index.column() == PersonColumn
                       ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                       : QVariant();
        case Qt::FontRole:
            if (row.Entry.NeverWritten()) {
                QFont bold;
                bold.setBold(true);
                return bold;
            }
            return {};
        case Qt::ForegroundRole:
            return row.Entry.NeverWritten() ? QBrush(QColor(0xB0, 0x00, 0x00)) : QVariant();
        case Qt::BackgroundRole:
            // Every other person shaded, so that the persons stand apart.
            return row.Person % 2 == 0 ? QBrush(QColor(0xEE, 0xF2, 0xF8)) : QVariant();
    }
    return {};
}

QVariant JournalModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    static const QStringList captions{QStringLiteral("人"),     QStringLiteral("時刻"),
                                      QStringLiteral("表示No"), QStringLiteral("種類"),
                                      QStringLiteral("値"),     QStringLiteral("状態")};
    return captions.value(section);
}
