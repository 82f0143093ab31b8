// Opening the two grids at 1500 rows: built, shown and painted once.

#include <benchmark/benchmark.h>

#include <QApplication>

#include "BenchSupport.h"
#include "G_Param.h"
#include "NameListFile.h"
#include "frmNameList.h"
#include "frmPreview.h"

namespace {

// Shows the window and lets it lay out and paint, as opening it from the menu does.
void ShowAndPaint(QWidget& window) {
    window.show();
    QApplication::processEvents();
    QApplication::processEvents();
}

}  // namespace

static void BM_OpenPreview1500(benchmark::State& state) {  // the edited-data list
    const BenchFolder folder;
    if (!folder.WriteFullSet()) return state.SkipWithError("no record file");
    SilentDisplay display;
    for (auto _ : state) {
        frmPreview window(display);
        ShowAndPaint(window);
    }
}
BENCHMARK(BM_OpenPreview1500)->Unit(benchmark::kMillisecond);

static void BM_OpenNameList1500(benchmark::State& state) {  // the name-list editor
    const BenchFolder folder;
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
