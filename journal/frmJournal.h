#pragma once

#include <QDialog>
#include <QList>

class QLabel;
class QPushButton;
class QSpinBox;
class QTableView;
class Dialogs;
class JournalModel;
class JournalWriter;
class ReadingJournal;

// "受信履歴": today's readings grouped by person, those never written marked; the chosen
// readings are written to the chosen number through the main window.
class frmJournal : public QDialog {
    Q_OBJECT
public:
    frmJournal(Dialogs& dialogs, ReadingJournal& journal, JournalWriter& writer,
               QWidget* parent = nullptr);

    const JournalModel& Model() const { return *m_model; }
    // The grid rows chosen, in order.
    QList<int> ChosenRows() const;

    QLabel* lblSummary = nullptr;
    QTableView* grdJournal = nullptr;
    QPushButton* cmdChoosePerson = nullptr;
    QLabel* lblNumber = nullptr;
    QSpinBox* spnNumber = nullptr;
    QPushButton* cmdWrite = nullptr;
    QPushButton* cmdClose = nullptr;

public slots:
    void Refresh();
    void grdJournal_SelectionChanged();
    void cmdChoosePerson_Click();
    void cmdWrite_Click();

private:
    void Form_Load();

    Dialogs& m_dialogs;
    ReadingJournal& m_journal;
    JournalWriter& m_writer;
    JournalModel* m_model = nullptr;
};
