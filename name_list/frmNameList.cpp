#include "frmNameList.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "Dialogs.h"
#include "G_Param.h"
#include "NameListFile.h"
#include "NameListGrid.h"
#include "NameListModel.h"
#include "NameListTexts.h"
#include "Named.h"

frmNameList::frmNameList(Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs), m_model(new NameListModel(this)) {
    setObjectName(QStringLiteral("frmNameList"));
    setWindowTitle(QStringLiteral("名簿リストの編集"));

    fraMyFile =
        Named(new QGroupBox(QStringLiteral("名簿ファイル名"), this), QStringLiteral("fraMyFile"));
    lblMyFile = Named(new QLabel(fraMyFile), QStringLiteral("lblMyFile"));
    auto* fileLayout = new QHBoxLayout(fraMyFile);
    fileLayout->addWidget(lblMyFile);

    fgdView = Named(new NameListGrid(*m_model, this), QStringLiteral("fgdView"));

    cmdInputNew = ListButton(QStringLiteral("新規登録"), QStringLiteral("リストに追加･登録します"),
                             QStringLiteral("cmdInputNew"));
    cmdIns = ListButton(QStringLiteral("挿入"), QStringLiteral("リストに挿入します"),
                        QStringLiteral("cmdIns"));
    cmdDel = ListButton(QStringLiteral("削除"), QStringLiteral("リストから削除します"),
                        QStringLiteral("cmdDel"));
    cmdMoveName[0] = ListButton(QStringLiteral("↑"), QStringLiteral("上に移動"),
                                QStringLiteral("cmdMoveName_0"));
    cmdMoveName[1] = ListButton(QStringLiteral("↓"), QStringLiteral("下に移動"),
                                QStringLiteral("cmdMoveName_1"));
    cmdInputEnd =
        ListButton(QStringLiteral("全登録終了"), QStringLiteral("全登録終了後は必ず押して下さい"),
                   QStringLiteral("cmdInputEnd"));
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {cmdInputNew, cmdIns, cmdDel}) buttons->addWidget(b);
    auto* moves = new QHBoxLayout;
    moves->addWidget(cmdMoveName[0]);
    moves->addWidget(cmdMoveName[1]);
    buttons->addLayout(moves);
    buttons->addStretch(1);
    buttons->addWidget(cmdInputEnd);

    auto* body = new QHBoxLayout;
    body->addWidget(fgdView, 1);
    body->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraMyFile);
    layout->addLayout(body, 1);
    resize(minimumSizeHint().width(), 480);

    connect(cmdInputNew, &QPushButton::clicked, this, &frmNameList::cmdInputNew_Click);
    connect(cmdIns, &QPushButton::clicked, this, &frmNameList::cmdIns_Click);
    connect(cmdDel, &QPushButton::clicked, this, &frmNameList::cmdDel_Click);
    connect(cmdMoveName[0], &QPushButton::clicked, this, [this] { cmdMoveName_Click(0); });
    connect(cmdMoveName[1], &QPushButton::clicked, this, [this] { cmdMoveName_Click(1); });
    connect(cmdInputEnd, &QPushButton::clicked, this, &frmNameList::cmdInputEnd_Click);
    connect(fgdView, &NameListGrid::Touched, this, [this] { m_modified = true; });
    connect(fgdView, &NameListGrid::PasteRefused, this,
            [this] { m_dialogs.Message(NameListTexts::NoMoreEntries, MsgIcon::Warning); });

    Form_Load();
}

QPushButton* frmNameList::ListButton(const QString& caption, const QString& tip,
                                     const QString& name) {
    auto* button = Named(new QPushButton(caption, this), name);
    button->setToolTip(tip);
    button->setAutoDefault(false);  // Enter belongs to the grid
    return button;
}

void frmNameList::Form_Load() {
    lblMyFile->setText(G_Param.ChosenFileName);
    if (G_Param.ChosenFileName.isEmpty()) return;
    G_Param.ChosenPath = G_Param.NameListFolder + G_Param.ChosenFileName;
    std::optional<QList<NameListEntry>> entries = ReadNameListFile(G_Param.ChosenPath);
    if (!entries) {
        m_dialogs.Message(NameListTexts::NotRead(G_Param.ChosenFileName), MsgIcon::Warning);
        return;
    }
    // An empty file still offers one entry to type into.
    if (entries->isEmpty()) entries->append(NameListEntry{});
    m_model->SetEntries(*entries);
    fgdView->SetCurrent(0, 1);
    m_modified = false;
    m_loaded = true;
}

int frmNameList::CurrentRow() const {
    return fgdView->currentIndex().row();
}

void frmNameList::cmdInputNew_Click() {
    m_modified = true;
    const int last = m_model->rowCount() - 1;
    fgdView->SetCurrent(last, 1);
    if (m_model->IsFull()) {
        m_dialogs.Message(NameListTexts::NoMoreEntries, MsgIcon::Warning);
        return;
    }
    m_model->Append();
    fgdView->SetCurrent(last + 1, 1);
    fgdView->setFocus();
}

void frmNameList::cmdIns_Click() {
    m_modified = true;
    fgdView->CommitEdit();
    const int r = std::max(CurrentRow(), 0);
    if (m_model->IsFull()) {
        m_dialogs.Message(NameListTexts::NoMoreEntries, MsgIcon::Warning);
        return;
    }
    m_model->Insert(r);
    fgdView->SetCurrent(r, 1);
    fgdView->setFocus();
}

void frmNameList::cmdDel_Click() {
    m_modified = true;
    fgdView->CommitEdit();
    const int r = CurrentRow();
    if (r < 0) return;
    if (!m_dialogs.AskDestructive(QStringLiteral("No.%1を消去しますか？").arg(r + 1))) return;
    int current = r;
    if (m_model->rowCount() == 1) {
        m_model->Clear(r);  // the list keeps its one entry
    } else {
        m_model->Remove(r);
        current = std::max(r - 1, 0);
    }
    fgdView->SetCurrent(current, 1);
    fgdView->setFocus();
}

// Entry 2 of a list of two may move up as well: moving is a swap of neighbours.
void frmNameList::cmdMoveName_Click(int index) {
    m_modified = true;
    fgdView->CommitEdit();
    const int r = CurrentRow();
    if (r < 0) return;
    const int target = index == 0 ? r - 1 : r + 1;
    if (target >= 0 && target < m_model->rowCount()) {
        m_model->MoveEntry(r, target);
        fgdView->SetCurrent(target, 1);
    }
    fgdView->setFocus();
}

bool frmNameList::SaveNameList() {
    fgdView->CommitEdit();
    if (!WriteNameListFile(G_Param.ChosenPath, m_model->Entries())) {
        m_dialogs.Message(NameListTexts::NotSaved(G_Param.ChosenFileName), MsgIcon::Warning);
        return false;
    }
    m_dialogs.Message(NameListTexts::Saved(G_Param.ChosenFileName), MsgIcon::Information);
    return true;
}

void frmNameList::cmdInputEnd_Click() {
    m_modified = false;
    // A failed save keeps the editor open with the list, so nothing typed is lost.
    if (!SaveNameList()) {
        m_modified = true;
        return;
    }
    accept();
}

void frmNameList::done(int result) {
    if (m_closing) return;
    m_closing = true;
    if (m_modified && m_dialogs.AskYesNo(NameListTexts::UnsavedQuestion) && !SaveNameList()) {
        m_closing = false;
        return;
    }
    m_modified = false;
    QDialog::done(result);
    m_closing = false;
}
