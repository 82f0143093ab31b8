// The class summary of a full day: its window opened with the chart, and its PDF report.

#include <benchmark/benchmark.h>

#include <QApplication>

#include "BenchSupport.h"
#include "ClassSummary.h"
#include "G_Param.h"
#include "RecordFile.h"
#include "SummaryReport.h"
#include "SummarySettings.h"
#include "frmSummary.h"

namespace {

// A full day as a school has it: 組 ("3年2組") as the grade, 性別, 氏名; the choice of items
// remembered as the window stores it.
bool WriteSchoolDay() {
    QList<MeasureRecord> records = BenchData::MeasurementSet(BenchData::FullSet);
    records[1].SubLabel2 = QStringLiteral("性別");
    for (qsizetype i = 2; i < records.size(); ++i)
        records[i].SubLabel2 = i % 2 ? QStringLiteral("男") : QStringLiteral("女");
    SummaryChoice choice;
    choice.SexItem = 2;
    choice.Source = AgeSource::GradeItem;
    choice.GradeItem = 1;
    choice.GradeSchool = School::Elementary;
    choice.GroupItem = 1;
    return RecordFile::Replace(G_Param.RecordFilePath(), records) &&
           SummarySettings::Store(SummarySettings::IniPath(G_Param.WorkFolder), choice);
}

}  // namespace

static void BM_OpenSummary1500(benchmark::State& state) {  // read, judged, shown with its chart
    const BenchFolder folder;
    if (!WriteSchoolDay()) return state.SkipWithError("no record file");
    SilentDialogs dialogs;
    for (auto _ : state) {
        frmSummary window(dialogs, G_Param.WorkFolder);
        window.show();
        QApplication::processEvents();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_OpenSummary1500)->Unit(benchmark::kMillisecond);

static void BM_SummaryPdf1500(benchmark::State& state) {  // the report of a full day as PDF
    const BenchFolder folder;
    if (!WriteSchoolDay()) return state.SkipWithError("no record file");
    const ClassSummary summary =
        Summarize(RecordFile::ReadAll(G_Param.RecordFilePath()),
                  SummarySettings::Load(SummarySettings::IniPath(G_Param.WorkFolder), {}));
    const QString target = folder.File(QStringLiteral("summary.pdf"));
    for (auto _ : state)
        if (!WriteReportPdf(target, summary)) return state.SkipWithError("PDF not written");
}
BENCHMARK(BM_SummaryPdf1500)->Unit(benchmark::kMillisecond);
