// Opening the two grids at 1500 rows: built, shown and painted once.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include "BenchSupport.h"
#include "G_Param.h"
#include "NameListFile.h"
#include "RecordFile.h"
#include "frmNameList.h"
#include "frmPreview.h"

namespace {

// Shows the window and lets it lay out and paint, as opening it from the menu does.
void ShowAndPaint(QWidget& window) {
    window.show();
    QApplication::processEvents();
    QApplication::processEvents();
}

class ProgramFolder {
public:
    ProgramFolder() {
        QDir(m_dir.path()).mkpath(QStringLiteral("Org"));
        QDir(m_dir.path()).mkpath(QStringLiteral("Name_List"));
        G_Param = GlobalParams{};
        G_Param.SetFolders(m_dir.path());
    }

private:
    QTemporaryDir m_dir;
};

}  // namespace

static void BM_OpenPreview1500(benchmark::State& state) {  // the edited-data list
    ProgramFolder folder;
    if (!RecordFile::Replace(G_Param.RecordFilePath(),
                             BenchData::MeasurementSet(BenchData::FullSet)))
        return state.SkipWithError("no record file");
    SilentDisplay display;
    for (auto _ : state) {
        frmPreview window(display);
        ShowAndPaint(window);
    }
}
BENCHMARK(BM_OpenPreview1500)->Unit(benchmark::kMillisecond);

static void BM_OpenNameList1500(benchmark::State& state) {  // the name-list editor
    ProgramFolder folder;
    G_Param.ChosenFileName = QStringLiteral("day.nml");
    G_Param.ChosenPath = G_Param.NameListFolder + G_Param.ChosenFileName;
    if (!WriteNameListFile(G_Param.ChosenPath, BenchData::NameList(BenchData::FullSet)))
        return state.SkipWithError("no name list");
    SilentDialogs dialogs;
    for (auto _ : state) {
        frmNameList window(dialogs);
        if (!window.Loaded()) return state.SkipWithError("name list not read");
        ShowAndPaint(window);
    }
}
BENCHMARK(BM_OpenNameList1500)->Unit(benchmark::kMillisecond);
