// The files of a measuring day at their largest: 1500 records, 1500 names.

#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "CsvWriter.h"
#include "G_Param.h"
#include "NameListFile.h"
#include "PreviewModel.h"
#include "RecordFile.h"
#include "mdlCsvModule.h"
#include "mdlPublicWriteFunc.h"

namespace {

class NoProgress : public ProgressReport {
public:
    void SetProgressRangeFromRecordFile() override {}
    void SetProgressValue(int) override {}
};

}  // namespace

static void BM_RecordWrite(benchmark::State& state) {  // the write button: open, write, sync, close
    const BenchFolder folder;
    if (!folder.WriteFullSet()) return state.SkipWithError("no record file");
    G_Param.RecordBuffer = BenchData::Person(7);
    int r = 0;
    for (auto _ : state) {
        if (!WriteBufferAsRecord(3 + r)) return state.SkipWithError("write failed");
        r = (r + 1) % BenchData::FullSet;
    }
}
BENCHMARK(BM_RecordWrite);

namespace {
// The reference of the record write: the same write left in the system's cache.
class CacheOnly : public DeviceSync {
public:
    bool SyncFile(QFileDevice&) const override { return true; }
    bool SyncFolder(const QString&) const override { return true; }
};
}  // namespace

static void BM_RecordWriteCacheOnly(benchmark::State& state) {
    const BenchFolder folder;
    if (!folder.WriteFullSet()) return state.SkipWithError("no record file");
    const MeasureRecord person = BenchData::Person(7);
    int r = 0;
    for (auto _ : state) {
        if (!RecordFile::Write(G_Param.RecordFilePath(), 3 + r, person, CacheOnly()))
            return state.SkipWithError("write failed");
        r = (r + 1) % BenchData::FullSet;
    }
}
BENCHMARK(BM_RecordWriteCacheOnly);

static void BM_RecordRead(benchmark::State& state) {  // a number change: open, read, close
    const BenchFolder folder;
    if (!folder.WriteFullSet()) return state.SkipWithError("no record file");
    int r = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadRecordToBuffer(3 + r));
        r = (r + 1) % BenchData::FullSet;
    }
}
BENCHMARK(BM_RecordRead);

static void BM_CsvWriter1500(benchmark::State& state) {  // --save-csv without the process
    const BenchFolder folder;
    if (!folder.WriteFullSet()) return state.SkipWithError("no record file");
    const QString target = folder.File(QStringLiteral("out.csv"));
    for (auto _ : state) {
        CsvWriter writer(G_Param.RecordFilePath(), target);
        bool ok = writer.Begin(
            {QStringLiteral("身体測定"), QStringLiteral("2024/05/01"), QStringLiteral("山田")});
        while (ok && !writer.AtEnd()) ok = writer.WriteNextRow();
        if (!ok || !writer.Commit()) return state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_CsvWriter1500)->Unit(benchmark::kMillisecond);

static void BM_CsvSave1500(benchmark::State& state) {  // the menu's save, events run per line
    const BenchFolder folder;
    if (!folder.WriteFullSet()) return state.SkipWithError("no record file");
    G_Param.ChosenPath = folder.File(QStringLiteral("out.csv"));
    SilentDialogs dialogs;
    NoProgress progress;
    for (auto _ : state) {
        G_Param.OperationStatus = 0;
        if (SaveCsv(dialogs, progress) != SaveOutcome::Saved)
            return state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_CsvSave1500)->Unit(benchmark::kMillisecond);

static void BM_NameListWrite1500(benchmark::State& state) {
    const BenchFolder folder;
    const QString path = folder.File(QStringLiteral("Name_List/day.nml"));
    const QList<NameListEntry> entries = BenchData::NameList(BenchData::FullSet);
    for (auto _ : state)
        if (!WriteNameListFile(path, entries)) return state.SkipWithError("write failed");
}
BENCHMARK(BM_NameListWrite1500)->Unit(benchmark::kMillisecond);

static void BM_NameListRead1500(benchmark::State& state) {
    const BenchFolder folder;
    const QString path = folder.File(QStringLiteral("Name_List/day.nml"));
    if (!WriteNameListFile(path, BenchData::NameList(BenchData::FullSet)))
        return state.SkipWithError("write failed");
    for (auto _ : state) benchmark::DoNotOptimize(ReadNameListFile(path));
}
BENCHMARK(BM_NameListRead1500)->Unit(benchmark::kMillisecond);

// The edited-data list's model from the record file, every cell asked once as a view would.
static void BM_PreviewModelFill1500(benchmark::State& state) {
    const BenchFolder folder;
    if (!folder.WriteFullSet()) return state.SkipWithError("no record file");
    for (auto _ : state) {
        QList<MeasureRecord> records = RecordFile::ReadAll(G_Param.RecordFilePath());
        records.remove(0, 2);
        PreviewModel model(
            records, {QStringLiteral("組"), QStringLiteral("出席番号"), QStringLiteral("氏名")});
        for (int row = 0; row < model.rowCount(); ++row)
            for (int column = 0; column < model.columnCount(); ++column)
                benchmark::DoNotOptimize(model.data(model.index(row, column)));
    }
}
BENCHMARK(BM_PreviewModelFill1500)->Unit(benchmark::kMillisecond);
