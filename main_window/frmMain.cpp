#include "frmMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFrame>
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
#include "Named.h"
#include "ProgramOptions.h"
#include "RecordFile.h"
#include "RecordNumbering.h"
#include "SerialPort.h"
#include "Services.h"
#include "frmProgressBar.h"
#include "imlLogo.h"
#include "mdlDataLoadFunc.h"
#include "mdlParamCls.h"
#include "mdlPublicWriteFunc.h"
#include "mdlStandard.h"

frmMain::frmMain(const Platform& platform, QWidget* parent)
    : QMainWindow(parent),
      m_platform(platform),
      m_dialogs(*platform.Dialog, [this] { FramesReleased(); }) {
    setObjectName(QStringLiteral("frmMain"));
    m_platform.Dialog = &m_dialogs;
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

frmMain::~frmMain() {
    // Closing the window takes the focus from a name box, whose editingFinished would
    // otherwise reach this window after its own part is gone.
    for (QLineEdit* box : txtSubLabel) box->disconnect(this);
}

bool frmMain::Form_Load() {
    if (!m_platform.Lock->TryAcquire()) {
        m_platform.Dialog->Message(MainTexts::AlreadyRunning, MsgIcon::Warning);
        return false;
    }
    if (!m_platform.Lock->DetectsSecondCopy())
        m_platform.Dialog->Message(MainTexts::SecondCopyUndetected, MsgIcon::Warning);
    G_Param.SetFolders(m_platform.AppFolder);
    m_journal = std::make_unique<ReadingJournal>(G_Param.WorkFolder);
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
    // A file replaced under the display (a roster loaded) holds another person there now.
    const MeasureRecord stored =
        RecordFile::Read(G_Param.RecordFilePath(), G_Param.CurrentIndex + 3).Record;
    const bool replaced =
        m_state.IsUnsaved(MeasuringState::AsShown(stored.Values), MeasuringState::NamesOf(stored));
    if (!HasUnsaved() || G_Param.CurrentIndex != m_loadedIndex || replaced) {
        LoadRecord();
        return;
    }
    ShowHeader();
    ShowValueLabels(G_Param.CurrentValues);
    UpdateProgressLine();
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
    const MeasureValues values = MeasuringState::AsShown(record.Values);
    G_Param.CurrentValues = values;
    if (m_loadedIndex != G_Param.CurrentIndex) m_overwriteAgreed = -1;
    m_loadedIndex = G_Param.CurrentIndex;
    // Readings still on display are gone from it now: the journal keeps them.
    SetFate(m_state.Readings(), ReadingFate::Discarded);
    m_state.Loaded(values, SubLabelTexts());
    m_note.clear();
    m_typing = false;
    if (m_heldAfterFailure) {
        // The failed values were written or given up: the readings behind them come now.
        m_heldAfterFailure = false;
        FramesReleased();
    }

    picDisp->Cls();
    // A number just past the last record is the next one to be made (a full disk kept it from
    // being made yet): it shows blank, not the person before.
    const int n = RecordCount();
    const bool nextToMake =
        read.PastEnd && n > G_Const::HeaderRecords && G_Param.CurrentIndex + 3 == n + 1;
    const bool anyValue = (!read.PastEnd || nextToMake) && ShowValueLabels(values);
    if (read.PastEnd && !nextToMake) picDisp->Print(MainTexts::NoValue);
    if (read.PastEnd || !anyValue) picDisp->Print(MainTexts::NoValue);
    UpdateProgressLine();
    UpdatePendingLine();
}

MeasuringState::Names frmMain::SubLabelTexts() const {
    return {txtSubLabel[0]->text(), txtSubLabel[1]->text(), txtSubLabel[2]->text()};
}

bool frmMain::HasUnsaved() const {
    return AutoWritePending() || m_state.IsUnsaved(G_Param.CurrentValues, SubLabelTexts());
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
    const QString who = MeasuringState::Who(G_Param.CurrentIndex + 1, SubLabelTexts());
    const Answer answer = AskHoldingTheWrite(
        [&] { return m_platform.Dialog->AskYesNoCancel(MeasuringState::AskSaveUnsaved(who)); });
    if (answer == Answer::Cancel ||
        (answer == Answer::Yes && !WriteDisplayed(ReadingFate::WrittenByInput))) {
        if (pending) AwTimer->start();
        UpdatePendingLine();
        return false;
    }
    if (answer == Answer::Yes) m_platform.Beep->Beep();
    if (answer == Answer::No) SetFate(m_state.Readings(), ReadingFate::Discarded);
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
            m_platform.Dialog->Message(MainTexts::NextNotPrepared(saved, made), MsgIcon::Warning);
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
    // A name being typed is never split across two records: the write waits for its end.
    if (!m_typing) {
        AwTimer->start();
        CountdownTimer->start();
    }
    UpdatePendingLine();
}

void frmMain::StopAutoWrite() {
    AwTimer->stop();
    m_autoWriteHasValue = false;
    m_typing = false;
    UpdatePendingLine();
}

bool frmMain::AutoWritePending() const {
    return m_autoWriteHasValue && (AwTimer->isActive() || m_typing);
}

// Japanese input pauses longer than any delay while it converts: the box being typed in
// holds the write until Enter or until it loses the focus.
void frmMain::SubLabelEdited() {
    m_typing = true;
    AwTimer->stop();
    UpdatePendingLine();
}

void frmMain::SubLabelDone() {
    if (!m_typing) return;
    m_typing = false;
    if (m_autoWriteHasValue) {
        AwTimer->start();
        CountdownTimer->start();
    }
    UpdatePendingLine();
}

bool frmMain::ReadyForFrames() const {
    return !m_dialogs.Holding() && !m_heldAfterFailure;
}

// Frames that waited are taken once the operation that asked has ended.
void frmMain::FramesReleased() {
    QTimer::singleShot(0, m_link, &MeterLink::DecodeWaiting);
}

bool frmMain::ValueArriving(MeasuredQuantity quantity, const QString& value) {
    using Arrival = MeasuringState::Arrival;
    if (m_state.OnArrival(quantity, AutoWritePending()) == Arrival::WritePreviousFirst) {
        // The next person is on the meter: the one on display is written first.
        WriteAndAdvance(ReadingFate::WrittenAuto);
        if (m_heldAfterFailure) return false;
    }
    const Arrival arrival = m_state.OnArrival(quantity, false);
    const QList<MeasuringState::Reading> replaced = m_state.ReplacedBy(arrival, quantity);
    if (!replaced.isEmpty()) {
        m_note = MeasuringState::NotWrittenText(replaced);
        SetFate(replaced, ReadingFate::Replaced);
        if (arrival == Arrival::ReplacePerson) {
            // Never two people in one record: the next one starts from what the file holds.
            StopAutoWrite();
            G_Param.CurrentValues = m_state.LoadedValues();
            G_Param.RecordBuffer.Values = m_state.LoadedValues();
            m_state.StartOver();
            ShowValueLabels(G_Param.CurrentValues);
        }
        picDisp->Print(m_note);
    }
    const int number = G_Param.CurrentIndex + 1;
    m_state.Take({quantity, value, m_journal ? m_journal->Received(number, quantity, value) : 0});
    TellJournalProblem();
    UpdatePendingLine();
    return true;
}

void frmMain::UpdatePendingLine() {
    const QString who = MeasuringState::Who(G_Param.CurrentIndex + 1, SubLabelTexts());
    QString line;
    if (m_heldAfterFailure && m_link->FramesWaiting() > 0) {
        line = MainTexts::ReadingsWaitForFailedWrite(m_link->FramesWaiting());
    } else if (m_typing && m_autoWriteHasValue) {
        line = MeasuringState::TypingText();
    } else if (AwTimer->isActive() && m_autoWriteHasValue) {
        // Rounded: the ticks come a second apart from the arming, so they show 3, 2, 1.
        const int left = (AwTimer->remainingTime() + 500) / 1000;
        line = MeasuringState::CountdownText(who, std::max(left, 1));
    } else if (G_Param.AutoWriteOn == 1 && G_Param.AutoWriteWholePerson && m_state.HasNewValue() &&
               !m_state.WholePersonArrived()) {
        line = MeasuringState::WaitingText(who, m_state.Missing());
    }
    if (line.isEmpty() || m_typing) CountdownTimer->stop();
    if (!m_note.isEmpty()) line = line.isEmpty() ? m_note : line + u'\n' + m_note;
    if (lblPending->text() != line) lblPending->setText(line);
}

// What each number of the file holds, No. 1 first. Read a few records at a time: asked after
// every write, it keeps nothing of the set.
QList<RecordNumbering::RecordState> frmMain::RecordStates() const {
    QList<RecordNumbering::RecordState> states;
    RecordFile::ForEachRecord(
        G_Param.RecordFilePath(), G_Const::HeaderRecords,
        [&states](const MeasureRecord& record) { states << RecordNumbering::StateOf(record); });
    return states;
}

void frmMain::UpdateProgressLine() {
    lblProgress->setText(MeasuringState::ProgressText(RecordStates()));
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

// Asked once per visit of a number: re-measuring the person on display asks once.
bool frmMain::MayOverwrite() {
    const int index = G_Param.CurrentIndex;
    if (m_overwriteAgreed == index) return true;
    const MeasureRecord stored = RecordFile::Read(G_Param.RecordFilePath(), index + 3).Record;
    const MeasureValues shown = MeasuringState::AsShown(stored.Values);
    // Names corrected on a measured person write the same values back: nothing to ask.
    if (!stored.Values.AnyMeasured() || shown == G_Param.CurrentValues) return true;
    if (!AskOverwrite(index + 1, stored)) return false;
    m_overwriteAgreed = index;
    return true;
}

bool frmMain::AskOverwrite(int number, const MeasureRecord& stored) {
    const QString who = MeasuringState::Who(number, MeasuringState::NamesOf(stored));
    const QString question =
        MeasuringState::AskOverwrite(who, MeasuringState::AsShown(stored.Values));
    return AskHoldingTheWrite([&] { return m_platform.Dialog->AskDestructive(question); });
}

bool frmMain::WriteReadingTo(int number, const JournalEntry& reading) {
    if (number < 1 || number > G_Const::MaxNumber) return false;
    MeasureRecord record = RecordFile::Read(G_Param.RecordFilePath(), number + 2).Record;
    // A person's readings written one after the other to one number ask once.
    if (record.Values.AnyMeasured() && number != m_journalAgreed && !AskOverwrite(number, record))
        return false;
    m_journalAgreed = number;
    // Padded as the meter sends it, so the record reads as one written when it came.
    record.Values = MeasuringState::WithReading(record.Values, reading.Kind,
                                                reading.Value.rightJustified(7, u' '));
    if (!WriteSucceeded(RecordFile::Write(G_Param.RecordFilePath(), number + 2, record)))
        return false;
    if (number == G_Param.CurrentIndex + 1 && !HasUnsaved())
        LoadRecord();
    else
        UpdateProgressLine();
    return true;
}

// False when not written: the overwrite refused, or the write failed (told, and the values
// stay on display while later readings wait).
bool frmMain::WriteDisplayed(ReadingFate fate) {
    if (!MayOverwrite()) return false;
    const int number = G_Param.CurrentIndex + 1;
    if (!WriteCurrent()) {
        if (m_journal && !m_state.Readings().isEmpty())
            m_journal->SetFate(MeasuringState::Ids(m_state.Readings()), ReadingFate::WriteFailed);
        m_heldAfterFailure = true;
        UpdatePendingLine();
        return false;
    }
    SetFate(m_state.Readings(), fate, number);
    return true;
}

void frmMain::SetFate(const QList<MeasuringState::Reading>& readings, ReadingFate fate,
                      int number) {
    if (readings.isEmpty()) return;
    if (m_journal) m_journal->SetFate(MeasuringState::Ids(readings), fate, number);
    m_state.Drop(readings);
    TellJournalProblem();
}

// Once: measuring goes on without the journal.
void frmMain::TellJournalProblem() {
    if (!m_journal || m_journal->Ok() || m_journalProblemTold) return;
    m_journalProblemTold = true;
    ShowLinkNotice(MainTexts::JournalNotWritten + m_journal->LastError());
}

void frmMain::InputClick() {
    WriteAndAdvance(ReadingFate::WrittenByInput);
}

void frmMain::WriteAndAdvance(ReadingFate fate) {
    StopAutoWrite();
    // A failed write keeps the number and the values on display, ready to be written again.
    if (!WriteDisplayed(fate)) return;
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
    const int index = RecordNumbering::NextUnmeasuredIndex(RecordStates());
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
    SetFate(m_state.Readings(), ReadingFate::Cleared);
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
    // The user is being asked what to do with these values, or reads a box of this window:
    // the write waits for the answer.
    if (m_asking || m_dialogs.Holding()) {
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
    // without asking (WriteDisplayed), and No keeps the record and the values on display.
    WriteAndAdvance(ReadingFate::WrittenAuto);
}

void frmMain::mnuNewData_Click() {
    RunWithLinkSuspended(*m_link, [this] { NewMeasurementSet(); });
}

void frmMain::mnuFileExit_Click() {
    close();
}

void frmMain::mnuSaveCsv_Click() {
    // A reading waiting for its automatic write is written first, so the CSV holds it.
    if (AutoWritePending()) AwTimer_Timer();
    RunWithLinkSuspended(*m_link,
                         [this] { RunCsvSaveCommand(*m_platform.Dialog, *m_platform.Time, this); });
}

void frmMain::Form_Unload() {
    AwTimer->stop();
    SetFate(m_state.Readings(), ReadingFate::PendingAtExit);
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
    if (event->type() == QEvent::InputMethod && watched != txtNumber) SubLabelEdited();
    if (event->type() == QEvent::ShortcutOverride) {
        // The menu's keys (Ctrl+S, Ctrl+Q, ...) win over the text boxes, so the operator
        // requests and writes while typing a name; the editing keys edit.
        const auto* key = static_cast<QKeyEvent*>(event);
        for (const auto editing : {QKeySequence::SelectAll, QKeySequence::Undo, QKeySequence::Copy,
                                   QKeySequence::Cut, QKeySequence::Paste})
            if (key->matches(editing)) return QMainWindow::eventFilter(watched, event);
        const QKeySequence pressed(key->keyCombination());
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
