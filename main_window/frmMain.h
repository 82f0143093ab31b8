#pragma once

#include <QMainWindow>
#include <array>
#include <memory>

#include "HoldingDialogs.h"
#include "LiveDisplay.h"
#include "MainWindowHooks.h"
#include "MeasuringState.h"
#include "Platform.h"
#include "ReadingJournal.h"
#include "imlLogo.h"

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTimer;
class ClickLabel;
class LinePrintBox;
class MeterLink;
struct FileResult;
class frmHelp;

// The main window: the record on display, the meter link, numbering and writing.
class frmMain : public QMainWindow,
                public LiveDisplay,
                public DisplayControl,
                public JournalWriter {
    Q_OBJECT
public:
    explicit frmMain(const Platform& platform, QWidget* parent = nullptr);
    ~frmMain() override;

    // The start-up sequence. False when another copy runs (the user has been told).
    bool Form_Load();

    // DisplayControl and LiveDisplay
    void RefreshDisplay() override;
    void ApplyModeLayout() override;
    void PrintLine(const QString& line) override;
    void ClearPrint() override;
    void ShowBmiResult(const QString& text) override;
    void ArmAutoWrite(int ms, bool afterValue) override;
    void ValueStored(MeasuredQuantity quantity) override;
    void ShowLinkStatus(const QString& text, const QString& toolTip) override;
    bool ValueArriving(MeasuredQuantity quantity, const QString& value) override;
    bool ReadyForFrames() const override;
    void ShowLinkNotice(const QString& text) override;
    void LinkBack() override;

    // JournalWriter: asks before it overwrites a measured value.
    bool WriteReadingTo(int number, const JournalEntry& reading) override;

    // Record writing and numbering.
    void InputClick();
    bool WriteCurrent();  // false when the write failed (the user has been told)
    void ClearCurrent();
    void MoveNumber(int mode);  // 0 previous, 1 next, 2 new
    void NewMeasurementSet();
    // The first unmeasured number after the last measured one: where a day carries on.
    void GoToNextUnmeasured();
    // A value received or a name typed that is not written yet, or a pending automatic write.
    bool HasUnsaved() const;

    MeterLink& Link() { return *m_link; }
    // The day's readings; made by Form_Load.
    ReadingJournal& Journal() { return *m_journal; }

    // Controls, named as the user's manual names them.
    QLineEdit* txtNumber;
    std::array<QLineEdit*, 3> txtSubLabel{};
    std::array<ClickLabel*, 3> lblSubLabel{};
    ClickLabel* lblTytle;
    ClickLabel* lblToday;
    ClickLabel* lblPerson;
    QLabel* lblSyDisp;
    QLabel* lblTzDisp;
    QLabel* lblZkDisp;
    QLabel* lblFatRatio;
    QLabel* lblBmiRes;
    LinePrintBox* picDisp;
    QPushButton* cmdInputData;
    QPushButton* cmdClearMain;
    std::array<QPushButton*, 3> cmdNumber{};
    QPushButton* cmdNextUnmeasured;
    QPushButton* cmdConnect;
    QLabel* lblConnect;
    QFrame* fraNotice;  // the link's news, above the values: it never stops the day
    QLabel* lblNotice;
    QPushButton* cmdCloseNotice;
    QLabel* lblLinkStatus;  // in the status bar: last frame received, or no answer
    QGroupBox* fmeBaseInput;
    std::array<QPushButton*, 5> cmdCommandSwitch{};
    QLabel* lblPending;   // status bar: the pending automatic write
    QLabel* lblProgress;  // status bar: how many are measured, which number is next
    QTimer* AwTimer;
    QTimer* CountdownTimer;  // redraws lblPending each second while a write is pending

public slots:
    void txtNumber_Change();
    void AwTimer_Timer();
    void mnuNewData_Click();
    void mnuFileExit_Click();
    void mnuSaveCsv_Click();
    void mnuPreview_Click();
    void mnuJournal_Click();
    void mnuSummary_Click();
    void mnuUserSetting_Click();
    void mnuLabelSetting_Click();
    void mnuCommSetting_Click();
    void mnuNameListLoad_Click();
    void mnuNewNameList_Click();
    void mnuNameEdit_Click();
    void mnuNameDel_Click();
    void mnuHelpIndex_Click();
    void mnuGoHomePage_Click();
    void mnuVersion_Click();
    // Opens the label settings from a double-click: the link is left as it is.
    void OpenLabelSettingsDirect();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void BuildMenus();
    void UpdateConnectLook();
    void StopAutoWrite();
    // Typing in a sub-label box holds a pending automatic write; Enter or leaving the box
    // starts its delay again, in full.
    void SubLabelEdited();
    void SubLabelDone();
    bool AutoWritePending() const;
    // Writes the values on display (asking before it overwrites a measured person) and moves
    // on; the readings get `fate`.
    void WriteAndAdvance(ReadingFate fate);
    bool WriteDisplayed(ReadingFate fate);
    bool MayOverwrite();
    bool AskOverwrite(int number, const MeasureRecord& stored);
    // Records the fate of readings in the journal; they are no longer on display.
    void SetFate(const QList<MeasuringState::Reading>& readings, ReadingFate fate, int number = 0);
    void TellJournalProblem();
    void FramesReleased();
    void UpdatePendingLine();
    void UpdateProgressLine();
    QList<RecordNumbering::RecordState> RecordStates() const;
    bool WriteSucceeded(const FileResult& result);
    void Form_Unload();
    void EnsureRecordFile();
    void LoadHeader(bool paddedDate);
    void ShowHeader();
    bool ShowValueLabels(const MeasureValues& values);  // true when any value is present
    void LoadRecord();
    void SelectIndex(int index, int saved = 0);
    void SetNumberText(int index);
    bool ConfirmLeave();
    // Asks about the values on display; a pending automatic write waits for the answer.
    template <typename Ask>
    auto AskHoldingTheWrite(Ask ask) {
        m_asking = true;
        const auto answer = ask();
        m_asking = false;
        return answer;
    }
    MeasuringState::Names SubLabelTexts() const;
    void ShowLabelSettings();

    Platform m_platform;
    // Every box the window opens goes through it: frames and automatic writing wait for it.
    HoldingDialogs m_dialogs;
    const imlLogo m_imlLogo;
    MeterLink* m_link;
    MeasuringState m_state;
    int m_loadedIndex = -1;  // the number whose record the display last loaded
    // A value frame arrived since the pending automatic write was armed for this number.
    bool m_autoWriteHasValue = false;
    bool m_asking = false;      // a question about the values on display is open
    frmHelp* m_help = nullptr;  // made on first use, kept for the run
    std::unique_ptr<ReadingJournal> m_journal;
    bool m_journalProblemTold = false;
    bool m_typing = false;            // a sub-label box edited since it had the focus
    bool m_heldAfterFailure = false;  // a failed write on display: later readings wait
    int m_overwriteAgreed = -1;       // the index the user agreed to overwrite while shown
    int m_journalAgreed = 0;          // the No. written from the journal window last
    QString m_note;                   // what became of readings replaced on display
};
