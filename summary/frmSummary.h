#pragma once

#include <QDialog>
#include <QList>

#include "ClassSummary.h"
#include "MeasureRecord.h"
#include "SummaryReport.h"

class QChartView;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableView;
class Dialogs;
class GroupStatsModel;
class PupilModel;

// "集計": the class summary of the measurement set by the school obesity-degree method. The
// user says which items hold the sex, the age (or grade) and the group; the window shows the
// group statistics, every pupil with the judgement, and a chart, and saves the report (print,
// PDF) and the judgement CSV. The set is read once when the window is built; the choice of
// items is remembered in Org/hakaron.ini.
class frmSummary : public QDialog {
    Q_OBJECT
public:
    // `workFolder`: Org/ with its trailing separator, where the set and hakaron.ini are.
    frmSummary(Dialogs& dialogs, const QString& workFolder, QWidget* parent = nullptr);

    SummaryChoice Choice() const;
    const ClassSummary& Summary() const { return m_summary; }

    QGroupBox* fraChoice = nullptr;
    QComboBox* cboSexItem = nullptr;
    QRadioButton* optAge_0 = nullptr;  // an item holds the age
    QRadioButton* optAge_1 = nullptr;  // an item holds the grade
    QRadioButton* optAge_2 = nullptr;  // one age for the whole set
    QComboBox* cboAgeItem = nullptr;
    QComboBox* cboGradeItem = nullptr;
    QComboBox* cboSchool = nullptr;
    QSpinBox* spnAge = nullptr;
    QComboBox* cboGroupItem = nullptr;
    QLineEdit* txtSchoolName = nullptr;
    QCheckBox* chkPagePerGroup = nullptr;
    QTableView* fgdStats = nullptr;
    QTableView* fgdPupils = nullptr;
    QComboBox* cboChart = nullptr;
    QChartView* chtSummary = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdSavePdf = nullptr;
    QPushButton* cmdSaveCsv = nullptr;
    QPushButton* cmdLetters = nullptr;
    QPushButton* cmdClose = nullptr;

public slots:
    void Choice_Change();
    void cboChart_Change();
    void cmdPrint_Click();
    void cmdSavePdf_Click();
    void cmdSaveCsv_Click();
    void cmdLetters_Click();
    void ReportSettings_Change();

private:
    QGroupBox* BuildChoiceFrame();
    QWidget* BuildTables();
    void Form_Load();
    void ShowChoice(const SummaryChoice& choice);
    void Recompute();
    // The chosen target, after the overwrite question; empty when the user stepped back.
    QString ChooseTarget(const QString& title, const QString& filter, const QString& name);
    // The school name and the page option as the window shows them.
    ReportOptions Options() const;

    Dialogs& m_dialogs;
    QString m_workFolder;
    QList<MeasureRecord> m_records;
    ClassSummary m_summary;
    PupilModel* m_pupils = nullptr;
    GroupStatsModel* m_stats = nullptr;
    bool m_loading = true;
};
