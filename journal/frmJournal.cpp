#include "frmJournal.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "Dialogs.h"
#include "JournalModel.h"
#include "Named.h"
#include "ReadingJournal.h"

namespace {
constexpr int kLastNumber = 1500;
}  // namespace

frmJournal::frmJournal(Dialogs& dialogs, ReadingJournal& journal, JournalWriter& writer,
                       QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs), m_journal(journal), m_writer(writer) {
    setObjectName(QStringLiteral("frmJournal"));
    setWindowTitle(QStringLiteral("受信履歴"));
    setModal(true);

    lblSummary = Named(new QLabel(this), QStringLiteral("lblSummary"));
    m_model = new JournalModel(this);
    grdJournal = Named(new QTableView(this), QStringLiteral("grdJournal"));
    grdJournal->setModel(m_model);
    grdJournal->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdJournal->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grdJournal->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdJournal->horizontalHeader()->setStretchLastSection(true);
    grdJournal->verticalHeader()->hide();

    cmdChoosePerson = Named(new QPushButton(QStringLiteral("この人の測定値をすべて選ぶ"), this),
                            QStringLiteral("cmdChoosePerson"));
    lblNumber =
        Named(new QLabel(QStringLiteral("書き込む番号 No."), this), QStringLiteral("lblNumber"));
    spnNumber = Named(new QSpinBox(this), QStringLiteral("spnNumber"));
    spnNumber->setRange(1, kLastNumber);
    lblNumber->setBuddy(spnNumber);
    cmdWrite = Named(new QPushButton(QStringLiteral("選んだ測定値を書き込む"), this),
                     QStringLiteral("cmdWrite"));
    cmdClose = Named(new QPushButton(QStringLiteral("閉じる"), this), QStringLiteral("cmdClose"));
    auto* writeRow = new QHBoxLayout;
    writeRow->addWidget(cmdChoosePerson);
    writeRow->addStretch(1);
    writeRow->addWidget(lblNumber);
    writeRow->addWidget(spnNumber);
    writeRow->addWidget(cmdWrite);

    auto* closeRow = new QHBoxLayout;
    closeRow->addStretch(1);
    closeRow->addWidget(cmdClose);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblSummary);
    layout->addWidget(grdJournal, 1);
    layout->addLayout(writeRow);
    layout->addLayout(closeRow);
    resize(640, 460);

    connect(grdJournal->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &frmJournal::grdJournal_SelectionChanged);
    connect(cmdChoosePerson, &QPushButton::clicked, this, &frmJournal::cmdChoosePerson_Click);
    connect(cmdWrite, &QPushButton::clicked, this, &frmJournal::cmdWrite_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);

    Form_Load();
}

void frmJournal::Form_Load() {
    Refresh();
    grdJournal->resizeColumnsToContents();
    grdJournal->scrollToBottom();
}

void frmJournal::Refresh() {
    m_model->SetEntries(m_journal.Today());
    const int count = m_model->rowCount();
    const int unwritten = m_model->NeverWrittenCount();
    lblSummary->setText(
        count == 0 ? QStringLiteral("今日の受信はありません")
                   : QStringLiteral("今日の受信 %1 件（未書込 %2 件）").arg(count).arg(unwritten));
    grdJournal_SelectionChanged();
}

QList<int> frmJournal::ChosenRows() const {
    QList<int> rows;
    for (const QModelIndex& index : grdJournal->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void frmJournal::grdJournal_SelectionChanged() {
    const QList<int> rows = ChosenRows();
    cmdWrite->setEnabled(!rows.isEmpty());
    cmdChoosePerson->setEnabled(!rows.isEmpty());
    // The number shown when the reading arrived is the likeliest target.
    if (!rows.isEmpty() && m_model->EntryAt(rows.first()).Number > 0)
        spnNumber->setValue(m_model->EntryAt(rows.first()).Number);
}

void frmJournal::cmdChoosePerson_Click() {
    const QList<int> rows = ChosenRows();
    if (rows.isEmpty()) return;
    const int person = m_model->PersonAt(rows.first());
    QItemSelection chosen;
    for (int row = 0; row < m_model->rowCount(); ++row)
        if (m_model->PersonAt(row) == person)
            chosen.select(m_model->index(row, 0),
                          m_model->index(row, JournalModel::ColumnCount - 1));
    grdJournal->selectionModel()->select(chosen, QItemSelectionModel::ClearAndSelect);
}

void frmJournal::cmdWrite_Click() {
    const int number = spnNumber->value();
    QList<JournalEntry> readings;
    for (const int row : ChosenRows()) readings << m_model->EntryAt(row);
    const bool journalWasOk = m_journal.Ok();
    // The writer asks before overwriting; a refusal or a failure stops the rest.
    for (const JournalEntry& reading : readings) {
        if (!m_writer.WriteReadingTo(number, reading)) break;
        m_journal.SetFate({reading.Id}, ReadingFate::WrittenFromJournal, number);
    }
    if (journalWasOk && !m_journal.Ok())
        m_dialogs.Message(
            QStringLiteral("受信履歴に記録できませんでした。\n理由: %1").arg(m_journal.LastError()),
            MsgIcon::Warning);
    Refresh();
}
