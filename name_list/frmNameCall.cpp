#include "frmNameCall.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "Dialogs.h"
#include "G_Param.h"
#include "MainWindowHooks.h"
#include "NameListFile.h"
#include "NameListTexts.h"
#include "Named.h"
#include "RecordFile.h"
#include "mdlParamCls.h"

frmNameCall::frmNameCall(NameCallPurpose purpose, Dialogs& dialogs, DisplayControl& display,
                         QWidget* parent)
    : QDialog(parent), m_purpose(purpose), m_dialogs(dialogs), m_display(display) {
    setObjectName(QStringLiteral("frmNameCall"));
    const bool load = purpose == NameCallPurpose::Load;
    setWindowTitle(load ? QStringLiteral("名簿データを読み出す") : QStringLiteral("名簿の編集"));

    filNameCall = Named(new QListWidget(this), QStringLiteral("filNameCall"));
    lblNameCall = Named(new QLabel(this), QStringLiteral("lblNameCall"));
    cmdSelectName[0] =
        Named(new QPushButton(load ? QStringLiteral("ロード") : QStringLiteral("選択"), this),
              QStringLiteral("cmdSelectName_0"));
    cmdSelectName[1] =
        Named(new QPushButton(QStringLiteral("消去"), this), QStringLiteral("cmdSelectName_1"));
    cmdCancelName =
        Named(new QPushButton(QStringLiteral("キャンセル"), this), QStringLiteral("cmdCancelName"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdSelectName[0]);
    buttons->addWidget(cmdSelectName[1]);
    buttons->addStretch(1);
    buttons->addWidget(cmdCancelName);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblNameCall);
    layout->addWidget(filNameCall, 1);
    layout->addLayout(buttons);
    resize(360, 320);

    connect(filNameCall, &QListWidget::itemSelectionChanged, this, &frmNameCall::filNameCall_Click);
    connect(filNameCall, &QListWidget::itemDoubleClicked, this, &frmNameCall::filNameCall_DblClick);
    connect(cmdSelectName[0], &QPushButton::clicked, this, [this] { cmdSelectName_Click(0); });
    connect(cmdSelectName[1], &QPushButton::clicked, this, [this] { cmdSelectName_Click(1); });
    connect(cmdCancelName, &QPushButton::clicked, this, &frmNameCall::cmdCancelName_Click);

    Form_Load();
}

void frmNameCall::Form_Load() {
    G_Param.ChosenPath.clear();
    G_Param.ChosenFileName.clear();
    lblNameCall->setText(NameListTexts::SelectFile);
    RefreshFileList();
}

void frmNameCall::RefreshFileList() {
    filNameCall->clear();
    const QDir folder(G_Param.NameListFolder);
    filNameCall->addItems(
        folder.entryList({QStringLiteral("*.nml")}, QDir::Files, QDir::Name | QDir::IgnoreCase));
}

void frmNameCall::filNameCall_Click() {
    const QList<QListWidgetItem*> selected = filNameCall->selectedItems();
    if (selected.isEmpty()) return;
    G_Param.ChosenFileName = selected.first()->text();
    lblNameCall->setText(G_Param.ChosenFileName.trimmed());
}

void frmNameCall::filNameCall_DblClick() {
    filNameCall_Click();
    cmdSelectName_Click(0);
}

void frmNameCall::cmdSelectName_Click(int index) {
    if (index == 1) {
        DeleteNameList();
        return;
    }
    if (G_Param.ChosenFileName.trimmed().isEmpty()) {
        m_dialogs.Message(NameListTexts::SelectFile, MsgIcon::Warning);
        return;
    }
    if (m_purpose == NameCallPurpose::Edit) {
        m_editorRequested = true;
    } else {
        LoadNameList();
        G_Param.CurrentIndex = 0;  // whatever was answered, No. 1 is shown
    }
    accept();
}

void frmNameCall::cmdCancelName_Click() {
    reject();
}

// The list is read before anything else, and the new measurement set replaces the old one
// only when it is complete: an unreadable list or a failed write leaves the set untouched.
void frmNameCall::LoadNameList() {
    if (!m_dialogs.AskDestructive(NameListTexts::AskDiscardAll)) return;
    if (!m_dialogs.AskDestructive(NameListTexts::AskReally)) return;
    const std::optional<QList<NameListEntry>> entries =
        ReadNameListFile(G_Param.NameListFolder + G_Param.ChosenFileName);
    if (!entries) {
        m_dialogs.Message(NameListTexts::NotRead(G_Param.ChosenFileName.trimmed()) +
                              QStringLiteral("\r\n") + NameListTexts::SetKept,
                          MsgIcon::Warning);
        return;
    }
    if (!RecordFile::Replace(G_Param.RecordFilePath(), NameListFile::MeasurementSet(*entries))) {
        m_dialogs.Message(
            QStringLiteral("名簿データをロードできませんでした\r\n") + NameListTexts::SetKept,
            MsgIcon::Warning);
        return;
    }
    ClearParams();
    m_dialogs.Message(NameListTexts::Loaded, MsgIcon::Information);
}

void frmNameCall::DeleteNameList() {
    const QString file = G_Param.ChosenFileName.trimmed();
    if (file.isEmpty()) {
        m_dialogs.Message(NameListTexts::SelectFile, MsgIcon::Warning);
        return;
    }
    if (!m_dialogs.AskDestructive(file + QStringLiteral("を消去しますか？"))) return;
    if (!RecordFile::ForceDelete(G_Param.NameListFolder + file)) {
        m_dialogs.Message(file + QStringLiteral("を消去できませんでした"), MsgIcon::Warning);
        return;
    }
    m_dialogs.Message(NameListTexts::Deleted, MsgIcon::Information);
    RefreshFileList();
    G_Param.ChosenFileName.clear();
    lblNameCall->setText(NameListTexts::SelectFile);
}

void frmNameCall::done(int result) {
    if (m_closing) return;
    m_closing = true;
    QDialog::done(result);
    m_display.RefreshDisplay();
    m_closing = false;
}
