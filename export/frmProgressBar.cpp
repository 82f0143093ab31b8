#include "frmProgressBar.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "Dialogs.h"
#include "ExportTexts.h"
#include "FixedText.h"
#include "G_Param.h"
#include "Named.h"
#include "RecordFile.h"
#include "mdlDialog.h"

frmProgressBar::frmProgressBar(Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Dialog), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("frmProgressBar"));
    setWindowTitle(ExportTexts::SaveTitle);
    // The main window takes no input while the save runs: a second save or a new
    // measurement set must not start half-way through this one.
    setWindowModality(Qt::ApplicationModal);

    pgbWork = Named(new QProgressBar(this), QStringLiteral("pgbWork"));
    pgbWork->setTextVisible(false);
    const std::array<QString, 4> captions{ExportTexts::Working, QStringLiteral("0%"),
                                          QStringLiteral("50%"), QStringLiteral("100%")};
    for (int i = 0; i < 4; ++i)
        lblConfig[i] = Named(new QLabel(captions[i], this), QStringLiteral("lblConfig_%1").arg(i));
    cmdCancel = Named(new QPushButton(QStringLiteral("中止"), this), QStringLiteral("cmdCancel"));
    EscTimer = Named(new QTimer(this), QStringLiteral("EscTimer"));
    EscTimer->setInterval(1);

    auto* layout = new QGridLayout(this);
    layout->addWidget(lblConfig[0], 0, 0, 1, 3);
    layout->addWidget(pgbWork, 1, 0, 1, 3);
    layout->addWidget(lblConfig[1], 2, 0, Qt::AlignLeft);
    layout->addWidget(lblConfig[2], 2, 1, Qt::AlignHCenter);
    layout->addWidget(lblConfig[3], 2, 2, Qt::AlignRight);
    layout->addWidget(cmdCancel, 3, 2, Qt::AlignRight);
    setMinimumWidth(360);

    connect(cmdCancel, &QPushButton::clicked, this, &frmProgressBar::cmdCancel_Click);
    connect(EscTimer, &QTimer::timeout, this, &frmProgressBar::EscTimer_Timer);
}

void frmProgressBar::Form_Load() {
    G_Param.OperationStatus = 0;
    setWindowTitle(ExportTexts::SaveTitle);
    lblConfig[0]->setText(ExportTexts::Working);
    setCursor(Qt::WaitCursor);
    show();
    mdlDialog::RunOperation(m_dialogs, *this);
    hide();
    EscTimer->start();
}

void frmProgressBar::SetProgressRangeFromRecordFile() {
    pgbWork->setRange(1, RecordFile::Count(G_Param.RecordFilePath()));
}

void frmProgressBar::SetProgressValue(int value) {
    if (value < pgbWork->minimum() || value > pgbWork->maximum()) return;
    pgbWork->setValue(value);
}

void frmProgressBar::cmdCancel_Click() {
    G_Param.OperationStatus = 1;
}

void frmProgressBar::EscTimer_Timer() {
    EscTimer->stop();
    unsetCursor();
    close();
    // Only here is the save surely over, so only here may the window go.
    deleteLater();
}

void frmProgressBar::closeEvent(QCloseEvent* event) {
    event->accept();
    if (G_Param.OperationStatus == 2 || m_stopReported) return;
    m_stopReported = true;
    G_Param.OperationStatus = 1;
    unsetCursor();
    lblConfig[0]->setText(ExportTexts::Stopping);
    m_dialogs.Message(ExportTexts::Stopping, MsgIcon::Information);
}

void RunCsvSaveCommand(Dialogs& dialogs, const Clock& clock, QWidget* parent) {
    mdlDialog::ChooseFile(dialogs, clock);
    if (TrimSpaces(G_Param.ChosenFileName).isEmpty()) return;
    auto* window = new frmProgressBar(dialogs, parent);
    window->Form_Load();
    QCoreApplication::processEvents();
}
