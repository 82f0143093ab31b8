#include "frmSummary.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegend>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include "Dialogs.h"
#include "ExportTexts.h"
#include "FileResult.h"
#include "G_Const.h"
#include "Named.h"
#include "RecordFile.h"
#include "SaveTarget.h"
#include "SummaryChart.h"
#include "SummaryModels.h"
#include "SummaryReport.h"
#include "SummarySettings.h"
#include "frmLetters.h"

namespace {

const QString kPdfFilter = QStringLiteral("PDFファイル (*.pdf)|*.pdf");

QComboBox* ItemBox(QWidget* parent, const QString& name, const QString& none) {
    auto* box = Named(new QComboBox(parent), name);
    if (!none.isEmpty()) box->addItem(none, 0);
    return box;
}

void SelectData(QComboBox* box, int value) {
    const int index = box->findData(value);
    box->setCurrentIndex(index < 0 ? 0 : index);
}

QTableView* Grid(QWidget* parent, const QString& name) {
    auto* grid = Named(new QTableView(parent), name);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->horizontalHeader()->setHighlightSections(false);
    return grid;
}

}  // namespace

frmSummary::frmSummary(Dialogs& dialogs, const QString& workFolder, QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs), m_workFolder(workFolder) {
    setObjectName(QStringLiteral("frmSummary"));
    setWindowTitle(QStringLiteral("集計"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    cmdPrint = Named(new QPushButton(QStringLiteral("印刷"), this), QStringLiteral("cmdPrint"));
    cmdSavePdf =
        Named(new QPushButton(QStringLiteral("PDFに保存"), this), QStringLiteral("cmdSavePdf"));
    cmdSaveCsv =
        Named(new QPushButton(QStringLiteral("CSVに保存"), this), QStringLiteral("cmdSaveCsv"));
    cmdLetters = Named(new QPushButton(QStringLiteral("お知らせを作成"), this),
                       QStringLiteral("cmdLetters"));
    cmdClose = Named(new QPushButton(QStringLiteral("閉じる"), this), QStringLiteral("cmdClose"));
    txtSchoolName = Named(new QLineEdit(this), QStringLiteral("txtSchoolName"));
    txtSchoolName->setPlaceholderText(QStringLiteral("学校名"));
    txtSchoolName->setMaximumWidth(260);
    chkPagePerGroup = Named(new QCheckBox(QStringLiteral("学級ごとに改ページ"), this),
                            QStringLiteral("chkPagePerGroup"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(new QLabel(QStringLiteral("学校名"), this));
    buttons->addWidget(txtSchoolName);
    buttons->addWidget(chkPagePerGroup);
    for (QPushButton* button : {cmdPrint, cmdSavePdf, cmdSaveCsv, cmdLetters})
        buttons->addWidget(button);
    buttons->addStretch(1);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildChoiceFrame());
    layout->addWidget(BuildTables(), 1);
    layout->addLayout(buttons);

    connect(cboChart, &QComboBox::currentIndexChanged, this, &frmSummary::cboChart_Change);
    connect(cmdPrint, &QPushButton::clicked, this, &frmSummary::cmdPrint_Click);
    connect(cmdSavePdf, &QPushButton::clicked, this, &frmSummary::cmdSavePdf_Click);
    connect(cmdSaveCsv, &QPushButton::clicked, this, &frmSummary::cmdSaveCsv_Click);
    connect(cmdLetters, &QPushButton::clicked, this, &frmSummary::cmdLetters_Click);
    connect(txtSchoolName, &QLineEdit::editingFinished, this, &frmSummary::ReportSettings_Change);
    connect(chkPagePerGroup, &QCheckBox::toggled, this, &frmSummary::ReportSettings_Change);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    resize(1100, 760);
    Form_Load();
}

QGroupBox* frmSummary::BuildChoiceFrame() {
    fraChoice = Named(new QGroupBox(QStringLiteral("児童生徒の性別・年齢・グループ"), this),
                      QStringLiteral("fraChoice"));
    cboSexItem = ItemBox(fraChoice, QStringLiteral("cboSexItem"), QStringLiteral("なし"));
    cboGroupItem =
        ItemBox(fraChoice, QStringLiteral("cboGroupItem"), QStringLiteral("分けない（全体）"));
    cboAgeItem = ItemBox(fraChoice, QStringLiteral("cboAgeItem"), QString());
    cboGradeItem = ItemBox(fraChoice, QStringLiteral("cboGradeItem"), QString());
    cboSchool = ItemBox(fraChoice, QStringLiteral("cboSchool"), QStringLiteral("学年の表記どおり"));
    cboSchool->addItem(QStringLiteral("小学校"), int(School::Elementary));
    cboSchool->addItem(QStringLiteral("中学校"), int(School::Junior));
    cboSchool->addItem(QStringLiteral("高等学校"), int(School::Senior));
    cboSchool->addItem(QStringLiteral("義務教育学校"), int(School::Compulsory));
    cboSchool->addItem(QStringLiteral("中等教育学校"), int(School::Secondary));
    spnAge = Named(new QSpinBox(fraChoice), QStringLiteral("spnAge"));
    spnAge->setRange(5, 17);
    spnAge->setSuffix(QStringLiteral(" 歳"));
    optAge_0 = Named(new QRadioButton(QStringLiteral("年齢の項目"), fraChoice),
                     QStringLiteral("optAge_0"));
    optAge_1 = Named(new QRadioButton(QStringLiteral("学年の項目"), fraChoice),
                     QStringLiteral("optAge_1"));
    optAge_2 = Named(new QRadioButton(QStringLiteral("全員の年齢"), fraChoice),
                     QStringLiteral("optAge_2"));
    auto* grid = new QGridLayout(fraChoice);
    grid->addWidget(new QLabel(QStringLiteral("性別の項目"), fraChoice), 0, 0);
    grid->addWidget(cboSexItem, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("グループ分けの項目"), fraChoice), 0, 3);
    grid->addWidget(cboGroupItem, 0, 4);
    grid->addWidget(new QLabel(QStringLiteral("年齢"), fraChoice), 1, 0);
    grid->addWidget(optAge_0, 1, 1);
    grid->addWidget(cboAgeItem, 1, 2);
    grid->addWidget(optAge_1, 1, 3);
    grid->addWidget(cboGradeItem, 1, 4);
    grid->addWidget(cboSchool, 1, 5);
    grid->addWidget(optAge_2, 1, 6);
    grid->addWidget(spnAge, 1, 7);
    grid->setColumnStretch(8, 1);
    for (QComboBox* box : {cboSexItem, cboGroupItem, cboAgeItem, cboGradeItem, cboSchool})
        connect(box, &QComboBox::currentIndexChanged, this, &frmSummary::Choice_Change);
    for (QRadioButton* option : {optAge_0, optAge_1, optAge_2})
        connect(option, &QRadioButton::toggled, this, &frmSummary::Choice_Change);
    connect(spnAge, &QSpinBox::valueChanged, this, &frmSummary::Choice_Change);
    return fraChoice;
}

QWidget* frmSummary::BuildTables() {
    auto* vertical = new QSplitter(Qt::Vertical, this);
    fgdStats = Grid(vertical, QStringLiteral("fgdStats"));
    m_stats = new GroupStatsModel(this);
    fgdStats->setModel(m_stats);
    auto* horizontal = new QSplitter(Qt::Horizontal, vertical);
    fgdPupils = Grid(horizontal, QStringLiteral("fgdPupils"));
    m_pupils = new PupilModel(this);
    auto* sorted = new QSortFilterProxyModel(this);
    sorted->setSourceModel(m_pupils);
    sorted->setSortRole(PupilModel::SortRole);
    fgdPupils->setModel(sorted);
    fgdPupils->setSortingEnabled(true);
    fgdPupils->sortByColumn(0, Qt::AscendingOrder);
    // Fixed widths: measuring 1500 rows for them would cost more than the whole table.
    static constexpr int kWidths[PupilModel::ColumnCount] = {44, 90, 90, 90, 36, 36,
                                                             60, 60, 76, 60, 96, 220};
    for (int c = 0; c < PupilModel::ColumnCount; ++c) fgdPupils->setColumnWidth(c, kWidths[c]);
    // 肥満度 and 判定 right after the items: seen without scrolling the names away.
    fgdPupils->horizontalHeader()->moveSection(9, 4);
    fgdPupils->horizontalHeader()->moveSection(10, 5);
    auto* chartPane = new QWidget(horizontal);
    cboChart = Named(new QComboBox(chartPane), QStringLiteral("cboChart"));
    cboChart->addItem(QStringLiteral("身長と体重（判定別）"), int(ChartKind::Scatter));
    cboChart->addItem(QStringLiteral("判定別の人数（グループ別）"), int(ChartKind::Bars));
    chtSummary = Named(new QChartView(chartPane), QStringLiteral("chtSummary"));
    chtSummary->setRenderHint(QPainter::Antialiasing);
    auto* chartLayout = new QVBoxLayout(chartPane);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    chartLayout->addWidget(cboChart);
    chartLayout->addWidget(chtSummary, 1);
    vertical->setStretchFactor(0, 2);
    vertical->setStretchFactor(1, 3);
    horizontal->setStretchFactor(0, 1);
    horizontal->setStretchFactor(1, 1);
    return vertical;
}

void frmSummary::Form_Load() {
    m_records = RecordFile::ReadAll(m_workFolder + G_Const::RecordFileName);
    const QStringList captions = Summarize(m_records.mid(0, 2), SummaryChoice{}).Captions;
    for (int item = 1; item <= 3; ++item)
        for (QComboBox* box : {cboSexItem, cboGroupItem, cboAgeItem, cboGradeItem})
            box->addItem(captions[item - 1], item);
    const QString ini = SummarySettings::IniPath(m_workFolder);
    ShowChoice(SummarySettings::Load(ini, captions));
    const SummarySettings::ReportSettings report = SummarySettings::LoadReport(ini);
    txtSchoolName->setText(report.SchoolName);
    chkPagePerGroup->setChecked(report.PagePerGroup);
    m_loading = false;
    Recompute();
}

SummaryChoice frmSummary::Choice() const {
    SummaryChoice choice;
    choice.SexItem = cboSexItem->currentData().toInt();
    choice.Source = optAge_0->isChecked()   ? AgeSource::AgeItem
                    : optAge_1->isChecked() ? AgeSource::GradeItem
                                            : AgeSource::WholeSet;
    choice.AgeItem = cboAgeItem->currentData().toInt();
    choice.GradeItem = cboGradeItem->currentData().toInt();
    choice.GradeSchool = School(cboSchool->currentData().toInt());
    choice.Age = spnAge->value();
    choice.GroupItem = cboGroupItem->currentData().toInt();
    return choice;
}

void frmSummary::ShowChoice(const SummaryChoice& choice) {
    SelectData(cboSexItem, choice.SexItem);
    SelectData(cboAgeItem, choice.AgeItem);
    SelectData(cboGradeItem, choice.GradeItem);
    SelectData(cboSchool, int(choice.GradeSchool));
    SelectData(cboGroupItem, choice.GroupItem);
    spnAge->setValue(choice.Age);
    (choice.Source == AgeSource::AgeItem     ? optAge_0
     : choice.Source == AgeSource::GradeItem ? optAge_1
                                             : optAge_2)
        ->setChecked(true);
}

void frmSummary::Choice_Change() {
    if (m_loading) return;
    // A radio button switching off reports too; the one switching on follows.
    if (!optAge_0->isChecked() && !optAge_1->isChecked() && !optAge_2->isChecked()) return;
    Recompute();
    SummarySettings::Store(SummarySettings::IniPath(m_workFolder), Choice());
}

void frmSummary::Recompute() {
    const SummaryChoice choice = Choice();
    cboAgeItem->setEnabled(choice.Source == AgeSource::AgeItem);
    cboGradeItem->setEnabled(choice.Source == AgeSource::GradeItem);
    cboSchool->setEnabled(choice.Source == AgeSource::GradeItem);
    spnAge->setEnabled(choice.Source == AgeSource::WholeSet);
    m_summary = Summarize(m_records, choice);
    m_stats->SetRows(m_summary.Groups);
    m_pupils->SetSummary(m_summary.Pupils, m_summary.Captions);
    fgdStats->resizeColumnsToContents();
    cboChart_Change();
}

void frmSummary::cboChart_Change() {
    QChart* old = chtSummary->chart();
    QChart* chart =
        BuildSummaryChart(m_summary, ChartKind(cboChart->currentData().toInt()), font());
    chart->legend()->setAlignment(Qt::AlignRight);  // below, a narrow chart cuts the names
    chtSummary->setChart(chart);
    delete old;
}

void frmSummary::cmdPrint_Click() {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    if (!PaintReport(printer, m_summary, Options()))
        m_dialogs.Message(QStringLiteral("印刷できませんでした"), MsgIcon::Warning);
}

QString frmSummary::ChooseTarget(const QString& title, const QString& filter, const QString& name) {
    const std::optional<QString> chosen = m_dialogs.SaveFile(title, filter, name, QString());
    if (!chosen || chosen->isEmpty()) return {};
    if (const SaveTarget::Problem problem = SaveTarget::Check(*chosen);
        problem != SaveTarget::Problem::None) {
        m_dialogs.Message(
            ExportTexts::NotSaved + QStringLiteral("\r\n") + SaveTarget::Reason(problem),
            MsgIcon::Warning);
        return {};
    }
    if (QFileInfo::exists(*chosen) && !m_dialogs.AskDestructive(ExportTexts::AskOverwrite))
        return {};
    return *chosen;
}

void frmSummary::cmdSavePdf_Click() {
    const QString path =
        ChooseTarget(QStringLiteral("PDFに保存"), kPdfFilter, QStringLiteral("集計.pdf"));
    if (path.isEmpty()) return;
    const FileResult result = WriteReportPdf(path, m_summary, Options());
    if (result)
        m_dialogs.Message(ExportTexts::Saved, MsgIcon::Information);
    else
        m_dialogs.Message(result.Message(), MsgIcon::Warning);
}

void frmSummary::cmdSaveCsv_Click() {
    const QString path = ChooseTarget(QStringLiteral("CSVに保存"), ExportTexts::CsvFilter,
                                      QStringLiteral("肥満度判定.csv"));
    if (path.isEmpty()) return;
    const FileResult result = FileWrite::ReplaceContents(path, JudgementCsv::File(m_summary));
    if (result)
        m_dialogs.Message(ExportTexts::Saved, MsgIcon::Information);
    else
        m_dialogs.Message(result.Message(), MsgIcon::Warning);
}

ReportOptions frmSummary::Options() const {
    ReportOptions options;
    options.SchoolName = txtSchoolName->text().trimmed();
    options.PagePerGroup = chkPagePerGroup->isChecked();
    return options;
}

void frmSummary::ReportSettings_Change() {
    if (m_loading) return;
    const ReportOptions options = Options();
    SummarySettings::StoreReport(SummarySettings::IniPath(m_workFolder),
                                 {options.SchoolName, options.PagePerGroup});
}

void frmSummary::cmdLetters_Click() {
    const QString textPath = LetterTextPath(m_workFolder);
    frmLetters letters(m_summary, LoadLetterText(textPath), this);
    if (letters.exec() != QDialog::Accepted) return;
    const QString text = letters.Text();
    // The text is kept for next time before the letters are written; a failure to keep it
    // is told, the letters are still made.
    if (text.trimmed() != LoadLetterText(textPath).trimmed()) {
        const FileResult kept = FileWrite::ReplaceContents(textPath, text.toUtf8());
        if (!kept) m_dialogs.Message(kept.Message(), MsgIcon::Warning);
    }
    const QList<int> chosen = letters.Chosen();
    if (chosen.isEmpty()) {
        m_dialogs.Message(QStringLiteral("お知らせを渡す児童生徒が選ばれていません"),
                          MsgIcon::Information);
        return;
    }
    const QString path =
        ChooseTarget(QStringLiteral("お知らせを保存"), kPdfFilter, QStringLiteral("お知らせ.pdf"));
    if (path.isEmpty()) return;
    const FileResult result = WriteLettersPdf(path, m_summary, chosen, Options(), text);
    if (result)
        m_dialogs.Message(ExportTexts::Saved, MsgIcon::Information);
    else
        m_dialogs.Message(result.Message(), MsgIcon::Warning);
}
