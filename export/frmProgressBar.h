#pragma once

#include <QWidget>
#include <array>

#include "mdlCsvModule.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class Clock;
class Dialogs;

// The progress window of the CSV save. It lives for one save: Form_Load shows it, runs the
// save and hides it; EscTimer then closes it at the next turn of the event loop and the
// window deletes itself. Give it a parent.
class frmProgressBar : public QWidget, public ProgressReport {
    Q_OBJECT
public:
    explicit frmProgressBar(Dialogs& dialogs, QWidget* parent);

    // The opening: OperationStatus 0, busy cursor, show, save, hide, arm EscTimer.
    void Form_Load();

    void SetProgressRangeFromRecordFile() override;
    void SetProgressValue(int value) override;

    QProgressBar* pgbWork = nullptr;
    std::array<QLabel*, 4> lblConfig{};
    QPushButton* cmdCancel = nullptr;
    QTimer* EscTimer = nullptr;

public slots:
    void cmdCancel_Click();
    void EscTimer_Timer();

protected:
    // The timer's close and the user's close box both pass here.
    void closeEvent(QCloseEvent* event) override;

private:
    Dialogs& m_dialogs;
    bool m_stopReported = false;
};

// The CSV save command once the link is suspended: the file dialog, then the progress
// window, which runs the save while it opens.
void RunCsvSaveCommand(Dialogs& dialogs, const Clock& clock, QWidget* parent);
