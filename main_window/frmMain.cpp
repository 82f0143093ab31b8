#include "frmMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <algorithm>

#include "ClickLabel.h"
#include "Dialogs.h"
#include "FileResult.h"
#include "G_Const.h"
#include "G_Param.h"
#include "LinePrintBox.h"
#include "MainTexts.h"
#include "MeterLink.h"
#include "NameListCommands.h"
#include "Named.h"
#include "OpenWithShell.h"
#include "ProductInfo.h"
#include "ProgramOptions.h"
#include "RecordFile.h"
#include "RecordNumbering.h"
#include "SerialPort.h"
#include "Services.h"
#include "SummaryLoader.h"
#include "frmAbout.h"
#include "frmComSet.h"
#include "frmHelp.h"
#include "frmLabelSet.h"
#include "frmPreview.h"
#include "frmProgressBar.h"
#include "frmUserSet.h"
#include "imlLogo.h"
#include "mdlDataLoadFunc.h"
#include "mdlParamCls.h"
#include "mdlPublicWriteFunc.h"
#include "mdlStandard.h"

frmMain::frmMain(const Platform& platform, QWidget* parent)
    : QMainWindow(parent), m_platform(platform) {
    setObjectName(QStringLiteral("frmMain"));
    m_platform.Port->setObjectName(QStringLiteral("mscPort"));
    m_link = new MeterLink(*m_platform.Port, *m_platform.Dialog, *this, this);
    m_link->setObjectName(QStringLiteral("MeterLink"));
    AwTimer = Named(new QTimer(this), QStringLiteral("AwTimer"));
    AwTimer->setInterval(2000);
    connect(AwTimer, &QTimer::timeout, this, &frmMain::AwTimer_Timer);
    CountdownTimer = Named(new QTimer(this), QStringLiteral("CountdownTimer"));
    CountdownTimer->setInterval(1000);
    connect(CountdownTimer, &QTimer::timeout, this, &frmMain::UpdatePendingLine);
    BuildControls();
    BuildMenus();
    connect(m_link, &MeterLink::LookChanged, this, &frmMain::UpdateConnectLook);
    UpdateConnectLook();
    setWindowTitle(mdlDataLoadFunc::WindowTitle(QString(), false));
}

frmMain::~frmMain() = default;

bool frmMain::Form_Load() {
    if (!m_platform.Lock->TryAcquire()) {
        m_platform.Dialog->Message(MainTexts::AlreadyRunning, MsgIcon::Warning);
        return false;
    }
    if (!m_platform.Lock->DetectsSecondCopy())
        m_platform.Dialog->Message(MainTexts::SecondCopyUndetected, MsgIcon::Warning);
    G_Param.SetFolders(m_platform.AppFolder);
    ReadSettings();
    ProgramOptions::Read();
    EnsureRecordFile();
    LoadHeader(false);
    m_link->OpenAtStartup();
    ApplyModeLayout();
    m_link->SetClearPending();
    SelectIndex(G_Param.CurrentIndex);
    return true;
}

// A record file that has fewer than three records (never written since it was created)
// gets blank records up to No. 1, so that No. 1 exists; header records already there stay.
void frmMain::EnsureRecordFile() {
    const QString path = G_Param.RecordFilePath();
    if (!QDir(G_Param.WorkFolder).exists()) return;
    if (RecordFile::Count(path) >= G_Const::HeaderRecords + 1) return;
    WriteSucceeded(RecordFile::Write(path, G_Const::HeaderRecords + 1, MeasureRecord{}));
}

// Reads the header records into G_Param and shows the captions of the sub-labels. The date
// keeps its padding for display; start-up keeps only its text.
void frmMain::LoadHeader(bool paddedDate) {
    ReadRecordToBuffer(1);
    const MeasureRecord header = G_Param.RecordBuffer;
    G_Param.Title = header.SubLabel1.Trimmed();
    G_Param.MeasureDate = paddedDate ? header.SubLabel2.Value() : header.SubLabel2.Trimmed();
    G_Param.Person = header.SubLabel3.Trimmed();

    ReadRecordToBuffer(2);
    const MeasureRecord captions = G_Param.RecordBuffer;
    G_Param.SubLabelCaption1 = captions.SubLabel1.Trimmed();
    G_Param.SubLabelCaption2 = captions.SubLabel2.Trimmed();
    G_Param.SubLabelCaption3 = captions.SubLabel3.Trimmed();
    lblSubLabel[0]->setText(mdlDataLoadFunc::SubLabelCaption(captions.SubLabel1, 1));
    lblSubLabel[1]->setText(mdlDataLoadFunc::SubLabelCaption(captions.SubLabel2, 2));
    lblSubLabel[2]->setText(mdlDataLoadFunc::SubLabelCaption(captions.SubLabel3, 3));
}

// Header, captions and title always; the record only when nothing on display is unsaved: a
// dialog closing or a status reply redraws, it never throws a reading away.
void frmMain::RefreshDisplay() {
    if (!HasUnsaved() || G_Param.CurrentIndex != m_loadedIndex) {
        LoadRecord();
        return;
    }
    ShowHeader();
    ShowValueLabels(G_Param.CurrentValues);
}

void frmMain::ShowHeader() {
    LoadHeader(true);
    lblTytle->setText(MainTexts::TitleCaption + G_Param.Title.Value());
    lblToday->setText(MainTexts::DateCaption + G_Param.MeasureDate);
    lblPerson->setText(MainTexts::PersonCaption + G_Param.Person.Value());
    setWindowTitle(mdlDataLoadFunc::WindowTitle(G_Param.Title.Trimmed(), G_Param.AutoWriteOn != 0));
}

bool frmMain::ShowValueLabels(const MeasureValues& values) {
    const auto labels = mdlDataLoadFunc::BuildValueLabels(values);
    lblSyDisp->setText(labels.Height);
    lblTzDisp->setText(labels.Weight);
    lblZkDisp->setText(labels.SittingHeight);
    lblFatRatio->setText(labels.FatRatio);
    lblBmiRes->setText(labels.BmiResult);
    return labels.AnyValue;
}

// Shows the selected record as the file holds it; what arrived for the number before is gone.
void frmMain::LoadRecord() {
    ShowHeader();
    const RecordFile::ReadResult read =
        RecordFile::Read(G_Param.RecordFilePath(), G_Param.CurrentIndex + 3);
    G_Param.RecordBuffer = read.Record;
    const MeasureRecord& record = read.Record;
    SetNumberText(G_Param.CurrentIndex);
    txtSubLabel[0]->setText(record.SubLabel1.Trimmed());
    txtSubLabel[1]->setText(record.SubLabel2.Trimmed());
    txtSubLabel[2]->setText(record.SubLabel3.Trimmed());
    MeasureValues values = record.Values;
    for (Text10* field : {&values.SittingHeight, &values.Height, &values.Bmi, &values.Weight}) {
        QString text = field->Trimmed();
        EnsureDecimal(text);
        *field = text;
    }
    G_Param.CurrentValues = values;
    m_loadedIndex = G_Param.CurrentIndex;
    m_state.Loaded(values, SubLabelTexts());

    picDisp->Cls();
    // A number just past the last record is the next one to be made (a full disk kept it from
    // being made yet): it shows blank, not the person before.
    const int n = RecordCount();
    const bool nextToMake =
        read.PastEnd && n > G_Const::HeaderRecords && G_Param.CurrentIndex + 3 == n + 1;
    const bool anyValue = (!read.PastEnd || nextToMake) && ShowValueLabels(values);
    if (read.PastEnd) picDisp->Print(MainTexts::NoValue);
    if (read.PastEnd || !anyValue) picDisp->Print(MainTexts::NoValue);
    UpdateProgressLine();
    UpdatePendingLine();
}

MeasuringState::Names frmMain::SubLabelTexts() const {
    return {txtSubLabel[0]->text(), txtSubLabel[1]->text(), txtSubLabel[2]->text()};
}

bool frmMain::HasUnsaved() const {
    return (AwTimer->isActive() && m_autoWriteHasValue) ||
           m_state.IsUnsaved(G_Param.CurrentValues, SubLabelTexts());
}

// The unsaved question before anything replaces the screen. True to go on: the values were
// written (Yes) or dropped (No), and the number shows as stored.
bool frmMain::ConfirmLeave() {
    if (!HasUnsaved()) {
        StopAutoWrite();
        return true;
    }
    // The pending write waits for the answer: it must not move the number under the question.
    const bool pending = AwTimer->isActive();
    AwTimer->stop();
    const Answer answer = AskHoldingTheWrite(
        [&] { return m_platform.Dialog->AskYesNoCancel(MainTexts::AskSaveUnsaved); });
    if (answer == Answer::Cancel || (answer == Answer::Yes && !WriteCurrent())) {
        if (pending) AwTimer->start();
        UpdatePendingLine();
        return false;
    }
    if (answer == Answer::Yes) m_platform.Beep->Beep();
    StopAutoWrite();
    LoadRecord();
    return true;
}

void frmMain::SetNumberText(int index) {
    const QSignalBlocker quiet(txtNumber);
    txtNumber->setText(QString::number(index + 1));
}

// Selects No. index + 1 and shows it. A number beyond the last record selects one new blank
// record right after it; when that record cannot be made (a full disk) the number is taken
// all the same and its record is made by its first write. `saved` names a number written just
// before, for the message.
void frmMain::SelectIndex(int index, int saved) {
    const int n = RecordCount();
    G_Param.CurrentIndex = int16_t(index);
    if (index >= n - 2 && QDir(G_Param.WorkFolder).exists()) {
        const int position = RecordNumbering::NewRecordPosition(n);
        G_Param.CurrentIndex = int16_t(position - 3);
        const FileResult made = RecordFile::Write(G_Param.RecordFilePath(), position, {});
        if (!made)
            m_platform.Dialog->Message(MainTexts::NextNotPrepared(saved) + made.Message(),
                                       MsgIcon::Warning);
    }
    StopAutoWrite();
    LoadRecord();
}

void frmMain::PrintLine(const QString& line) {
    picDisp->Print(line);
}

void frmMain::ClearPrint() {
    picDisp->Cls();
}

void frmMain::ShowLinkStatus(const QString& text, const QString& toolTip) {
    lblLinkStatus->setText(text);
    lblLinkStatus->setToolTip(toolTip);
}

void frmMain::ShowBmiResult(const QString& text) {
    lblBmiRes->setText(text);
}

void frmMain::ValueStored(MeasuredQuantity quantity) {
    m_state.ValueArrived(quantity);
}

void frmMain::ArmAutoWrite(int ms, bool afterValue) {
    // A value that a write has taken already (it fired while a status box was open) arms
    // nothing more: the next number is never written without a value of its own.
    const bool value = afterValue && m_state.HasNewValue();
    if (value && G_Param.AutoWriteWholePerson && !m_state.WholePersonArrived()) {
        UpdatePendingLine();
        return;
    }
    if (value) m_autoWriteHasValue = true;
    AwTimer->setInterval(ms);
    AwTimer->start();
    CountdownTimer->start();
    UpdatePendingLine();
}

void frmMain::StopAutoWrite() {
    AwTimer->stop();
    m_autoWriteHasValue = false;
    UpdatePendingLine();
}

// A name being typed is never split across two records: typing restarts the delay.
void frmMain::RestartAutoWriteDelay() {
    if (AwTimer->isActive()) AwTimer->start();
    UpdatePendingLine();
}

void frmMain::UpdatePendingLine() {
    const QString who = MeasuringState::Who(G_Param.CurrentIndex + 1, SubLabelTexts());
    QString line;
    if (AwTimer->isActive() && m_autoWriteHasValue) {
        // Rounded: the ticks come a second apart from the arming, so they show 3, 2, 1.
        const int left = (AwTimer->remainingTime() + 500) / 1000;
        line = MeasuringState::CountdownText(who, std::max(left, 1));
    } else if (G_Param.AutoWriteOn == 1 && G_Param.AutoWriteWholePerson && m_state.HasNewValue() &&
               !m_state.WholePersonArrived()) {
        line = MeasuringState::WaitingText(who, m_state.Missing());
    }
    if (line.isEmpty()) CountdownTimer->stop();
    if (lblPending->text() != line) lblPending->setText(line);
}

// Which numbers of the file hold a measured value, No. 1 first.
QList<bool> frmMain::MeasuredNumbers() const {
    return RecordFile::Measured(G_Param.RecordFilePath());
}

void frmMain::UpdateProgressLine() {
    lblProgress->setText(MeasuringState::ProgressText(MeasuredNumbers()));
}

bool frmMain::WriteSucceeded(const FileResult& result) {
    if (!result) m_platform.Dialog->Message(result.Message(), MsgIcon::Warning);
    return result;
}

bool frmMain::WriteCurrent() {
    MeasureRecord& buffer = G_Param.RecordBuffer;
    buffer.SubLabel1 = txtSubLabel[0]->text();
    buffer.SubLabel2 = txtSubLabel[1]->text();
    buffer.SubLabel3 = txtSubLabel[2]->text();
    buffer.Values = G_Param.CurrentValues;
    return WriteSucceeded(WriteBufferAsRecord(G_Param.CurrentIndex + 3));
}

void frmMain::InputClick() {
    StopAutoWrite();
    // A failed write keeps the number and the values on display, ready to be written again.
    if (!WriteCurrent()) return;
    // The reading is in the file: the beep tells the operator to bring the next person.
    m_platform.Beep->Beep();
    const int written = G_Param.CurrentIndex + 1;
    int next = G_Param.CurrentIndex + 1;
    if (G_Param.CurrentIndex == G_Const::MaxNumber - 1) {
        m_platform.Dialog->Message(MainTexts::BackToFirst, MsgIcon::Information);
        next = 0;
    }
    SelectIndex(next, written);
}

void frmMain::txtNumber_Change() {
    const QString text = txtNumber->text();
    if (text.isEmpty()) return;
    const auto number = RecordNumbering::TypedNumber(text);
    if (!number) {
        m_platform.Dialog->Message(MainTexts::OutOfRange, MsgIcon::Warning);
        const QSignalBlocker quiet(txtNumber);
        txtNumber->clear();
        return;
    }
    if (*number - 1 != G_Param.CurrentIndex && !ConfirmLeave()) {
        SetNumberText(G_Param.CurrentIndex);
        return;
    }
    SelectIndex(*number - 1);
}

void frmMain::MoveNumber(int mode) {
    if (!ConfirmLeave()) return;
    const int n = RecordCount();
    if (mode == 0) {
        SelectIndex(RecordNumbering::PreviousIndex(G_Param.CurrentIndex, n));
    } else if (mode == 1) {
        SelectIndex(RecordNumbering::NextIndex(G_Param.CurrentIndex, n));
    } else if (RecordNumbering::CanCreateNew(n)) {
        SelectIndex(n - 2);
    } else {
        m_platform.Dialog->Message(MainTexts::NoMoreRecords, MsgIcon::Warning);
    }
}

void frmMain::GoToNextUnmeasured() {
    if (!ConfirmLeave()) return;
    const int index = RecordNumbering::NextUnmeasuredIndex(MeasuredNumbers());
    if (index >= G_Const::MaxNumber) {
        m_platform.Dialog->Message(MainTexts::NoMoreRecords, MsgIcon::Warning);
        return;
    }
    SelectIndex(index);
}

void frmMain::ClearCurrent() {
    const int number = G_Param.CurrentIndex + 1;
    const MeasureRecord stored =
        RecordFile::Read(G_Param.RecordFilePath(), G_Param.CurrentIndex + 3).Record;
    // Measured values are never erased by a key pressed beside Ctrl+S without a word.
    if (stored.Values.AnyMeasured() || G_Param.CurrentValues.AnyMeasured()) {
        if (!AskHoldingTheWrite(
                [&] { return m_platform.Dialog->AskDestructive(MainTexts::AskClear(number)); }))
            return;
    }
    StopAutoWrite();
    // Written first: a failed clear leaves the display as it was.
    if (!WriteSucceeded(
            RecordFile::Write(G_Param.RecordFilePath(), G_Param.CurrentIndex + 3, MeasureRecord{})))
        return;
    for (QLineEdit* box : txtSubLabel) box->clear();
    ClearParams();
    picDisp->Cls();
    m_platform.Dialog->Message(QStringLiteral("No.%1を消去しました").arg(number),
                               MsgIcon::Information);
    LoadRecord();
}

void frmMain::NewMeasurementSet() {
    if (!ConfirmLeave()) return;
    if (!m_platform.Dialog->AskDestructive(MainTexts::AskDiscardAll)) return;
    if (!m_platform.Dialog->AskDestructive(MainTexts::AskReally)) return;
    StopAutoWrite();
    // The new set is built beside the old file and renamed over it, so a failure leaves
    // the old set intact.
    const QList<MeasureRecord> blank(G_Const::HeaderRecords + 1, MeasureRecord{});
    if (!WriteSucceeded(RecordFile::Replace(G_Param.RecordFilePath(), blank))) return;
    ClearParams();
    G_Param.CurrentIndex = 0;
    LoadRecord();
    m_platform.Dialog->Message(MainTexts::NewFileDone, MsgIcon::Information);
}

void frmMain::AwTimer_Timer() {
    AwTimer->stop();
    // The user is being asked what to do with these values: the write waits for the answer.
    if (m_asking) {
        AwTimer->start();
        return;
    }
    // Status frames alone ("UL", "OV", "HD") carry nothing to write: a blank record here
    // would move every later reading onto the wrong person of a name list.
    if (!m_autoWriteHasValue) {
        UpdatePendingLine();
        return;
    }
    // After a restart the program shows No. 1 again: a stored person is never overwritten
    // without asking, and Enter pressed while typing answers No. No keeps the record and
    // the values on display.
    const MeasureRecord stored =
        RecordFile::Read(G_Param.RecordFilePath(), G_Param.CurrentIndex + 3).Record;
    if (stored.Values.AnyMeasured()) {
        const bool overwrite = AskHoldingTheWrite([&] {
            return m_platform.Dialog->AskDestructive(
                MainTexts::AskOverwrite(G_Param.CurrentIndex + 1));
        });
        if (!overwrite) {
            m_autoWriteHasValue = false;
            UpdatePendingLine();
            return;
        }
    }
    InputClick();
}

void frmMain::mnuNewData_Click() {
    RunWithLinkSuspended(*m_link, [this] { NewMeasurementSet(); });
}

void frmMain::mnuFileExit_Click() {
    close();
}

void frmMain::mnuSaveCsv_Click() {
    // A reading waiting for its automatic write is written first, so the CSV holds it.
    if (AwTimer->isActive() && m_autoWriteHasValue) AwTimer_Timer();
    RunWithLinkSuspended(*m_link,
                         [this] { RunCsvSaveCommand(*m_platform.Dialog, *m_platform.Time, this); });
}

void frmMain::mnuPreview_Click() {
    RunWithLinkSuspended(*m_link, [this] {
        QCoreApplication::processEvents();
        frmPreview dialog(*this, this);
        dialog.exec();
    });
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
    frmLabelSet dialog(*m_platform.Dialog, *m_platform.Time, *this, this);
    dialog.exec();
}

void frmMain::UpdateConnectLook() {
    cmdConnect->setIcon(m_imlLogo.Picture(m_link->ConnectPicture()));
    lblConnect->setText(m_link->ConnectCaption());
}

void frmMain::Form_Unload() {
    AwTimer->stop();
    if (m_platform.Port->PortOpen()) m_platform.Port->SetPortOpen(false);
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (!ConfirmLeave()) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
    // Nothing else is asked or closed: the program ends here.
    QCoreApplication::exit(0);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        // The menu's keys (Ctrl+S, Ctrl+Z, Ctrl+A, ...) win over the text boxes' own editing
        // keys: the operator requests and writes while typing a name.
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        for (const QAction* action : findChildren<QAction*>())
            if (action->isEnabled() && !action->shortcut().isEmpty() &&
                action->shortcut() == pressed) {
                event->ignore();
                return true;
            }
    }
    if (event->type() == QEvent::FocusIn && watched != txtNumber) {
        // Entering a sub-label box selects its whole text, ready to be typed over.
        if (auto* box = qobject_cast<QLineEdit*>(watched))
            QTimer::singleShot(0, box, &QLineEdit::selectAll);
    }
    return QMainWindow::eventFilter(watched, event);
}
