#include "frmMain.h"

// The menu commands that open the program's other windows; the link is taken offline while
// most of them are open (the label settings opened from the window and the reading journal
// keep it, and the readings wait for them).
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "Dialogs.h"
#include "MeterLink.h"
#include "NameListCommands.h"
#include "OpenWithShell.h"
#include "ProductInfo.h"
#include "SummaryLoader.h"
#include "frmAbout.h"
#include "frmComSet.h"
#include "frmHelp.h"
#include "frmJournal.h"
#include "frmLabelSet.h"
#include "frmPreview.h"
#include "frmUserSet.h"

void frmMain::mnuPreview_Click() {
    RunWithLinkSuspended(*m_link, [this] {
        QCoreApplication::processEvents();
        frmPreview dialog(*this, this);
        dialog.exec();
    });
}

// The day's readings; the link stays up and its readings wait for the window to close.
void frmMain::mnuJournal_Click() {
    const HoldingDialogs::Hold hold(m_dialogs);
    m_journalAgreed = 0;
    frmJournal dialog(m_dialogs, *m_journal, *this, this);
    dialog.exec();
}

void frmMain::mnuSummary_Click() {
    RunWithLinkSuspended(*m_link, [this] {
        QCoreApplication::processEvents();
        SummaryLoader::ShowSummary(*m_platform.Dialog, m_platform.AppFolder, this);
    });
}

void frmMain::mnuUserSetting_Click() {
    RunWithLinkSuspended(*m_link, [this] {
        frmUserSet dialog(*m_platform.Dialog, *this, this);
        dialog.exec();
    });
}

void frmMain::mnuLabelSetting_Click() {
    RunWithLinkSuspended(*m_link, [this] { ShowLabelSettings(); });
}

void frmMain::mnuCommSetting_Click() {
    m_link->SetLinkOnline(false);
    {
        frmComSet dialog(*m_platform.Port, *m_platform.Inventory, *m_platform.Dialog, this);
        dialog.exec();
    }
    m_link->ReopenAfterSettings();
}

void frmMain::mnuNameListLoad_Click() {
    // A reading waiting to be written would otherwise land on No. 1 of the loaded list.
    if (!ConfirmLeave()) return;
    RunWithLinkSuspended(*m_link, [this] {
        NameListCommands::ChooseNameList(NameCallPurpose::Load, *m_platform.Dialog, *this, this);
    });
}

void frmMain::mnuNewNameList_Click() {
    RunWithLinkSuspended(*m_link,
                         [this] { NameListCommands::NewNameList(*m_platform.Dialog, this); });
}

// Editing and deleting share the chooser: either button may be used from both items.
void frmMain::mnuNameEdit_Click() {
    if (!ConfirmLeave()) return;  // the chooser loads lists from here too
    RunWithLinkSuspended(*m_link, [this] {
        NameListCommands::ChooseNameList(NameCallPurpose::Edit, *m_platform.Dialog, *this, this);
    });
}

void frmMain::mnuNameDel_Click() {
    mnuNameEdit_Click();
}

void frmMain::mnuHelpIndex_Click() {
    if (!m_help) m_help = new frmHelp(*m_platform.Desktop, this);
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

void frmMain::mnuGoHomePage_Click() {
    OpenWithShell(*m_platform.Desktop, ConfiguredProductInfo().ProductPage);
}

void frmMain::mnuVersion_Click() {
    RunWithLinkSuspended(*m_link, [this] {
        frmAbout dialog(ConfiguredProductInfo(), this);
        dialog.exec();
    });
}

void frmMain::OpenLabelSettingsDirect() {
    ShowLabelSettings();
}

void frmMain::ShowLabelSettings() {
    const HoldingDialogs::Hold hold(m_dialogs);
    frmLabelSet dialog(*m_platform.Dialog, *m_platform.Time, *this, this);
    dialog.exec();
}

void frmMain::UpdateConnectLook() {
    cmdConnect->setIcon(m_imlLogo.Picture(m_link->ConnectPicture()));
    lblConnect->setText(m_link->ConnectCaption());
}
