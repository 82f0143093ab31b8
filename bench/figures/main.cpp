// hakaron-figures: the table of bench/run. It runs the benchmarks and the whole-program
// figures, each beside its reference in the same run, and prints one Markdown table.
// Run it under an X display (bench/run uses xvfb-run): start-up is timed to a mapped window.

#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QPluginLoader>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

#include "BenchSupport.h"
#include "Figures.h"
#include "RecordFile.h"

using namespace Figures;

namespace {

constexpr int kFloodFrames = 10000;
constexpr int kLatencyFrames = 1000;
// One frame on the wire: STX, code, one character, seven value characters, ETX, each byte
// 11 bits with a start bit, parity and a stop bit.
constexpr double kFrameBits = 12 * 11;
constexpr double kFramesPerSecond9600 = 9600 / kFrameBits;
constexpr double kFrameMs9600 = 1000 / kFramesPerSecond9600;
// How long the program stays online and idle after the automatic day.
constexpr int kIdleMs = 60000;
// A brisk measuring day: one person every five seconds.
constexpr double kPersonMs = 5000;

struct Row {
    QString Figure;
    QString Value;
    QString Reference = QStringLiteral("—");
    QString Ratio = QStringLiteral("—");
    QString Goal = QStringLiteral("—");
    QString Met = QStringLiteral("—");
};

QString Ms(double ms) {
    return QString::number(ms, 'f', ms < 10 ? 2 : 1) + QStringLiteral(" ms");
}
QString Times(double ratio) {
    return QString::number(ratio, 'f', ratio < 10 ? 2 : 1) + QStringLiteral(" ×");
}
QString Met(bool met) {
    return met ? QStringLiteral("yes") : QStringLiteral("**no**");
}
void Note(const QString& text) {
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

// Medians of the benchmarks, by name: real time in ms, and items per second.
struct BenchFigure {
    double Ms = 0;
    double ItemsPerSecond = 0;
};
QMap<QString, BenchFigure> RunBenchmarks(const QString& program) {
    QProcess bench;
    bench.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    bench.start(program, {QStringLiteral("--benchmark_format=json"),
                          QStringLiteral("--benchmark_repetitions=5"),
                          QStringLiteral("--benchmark_min_time=0.2"),
                          QStringLiteral("--benchmark_report_aggregates_only=true")});
    bench.waitForFinished(-1);
    const QJsonArray list =
        QJsonDocument::fromJson(bench.readAllStandardOutput()).object()[u"benchmarks"].toArray();
    QMap<QString, BenchFigure> figures;
    for (const QJsonValue& value : list) {
        const QJsonObject b = value.toObject();
        if (b[u"aggregate_name"].toString() != u"median") continue;
        const QString unit = b[u"time_unit"].toString();
        const double scale = unit == u"ns" ? 1e-6 : unit == u"us" ? 1e-3 : unit == u"s" ? 1e3 : 1;
        figures.insert(b[u"run_name"].toString(),
                       {b[u"real_time"].toDouble() * scale, b[u"items_per_second"].toDouble()});
    }
    return figures;
}

void BenchmarkRows(const QMap<QString, BenchFigure>& b, QList<Row>& rows) {
    const double fps = b.value(QStringLiteral("BM_AssembleAndDecode/64")).ItemsPerSecond;
    rows.append(
        {QStringLiteral("assembly + decoding"), QStringLiteral("%L1 frames/s").arg(qint64(fps)),
         QStringLiteral("%1 frames/s (9600-baud line)").arg(kFramesPerSecond9600, 0, 'f', 1),
         Times(fps / kFramesPerSecond9600), QStringLiteral("≥ 100,000 frames/s"),
         Met(fps >= 100000)});
    const double eventFps = b.value(QStringLiteral("BM_AssembleAndDecodeEvent/64")).ItemsPerSecond;
    rows.append(
        {QStringLiteral("assembly + decoding, 64 frames a receive event"),
         QStringLiteral("%L1 frames/s").arg(qint64(eventFps)),
         QStringLiteral("%1 frames/s (9600-baud line)").arg(kFramesPerSecond9600, 0, 'f', 1),
         Times(eventFps / kFramesPerSecond9600)});
    rows.append({QStringLiteral("weight step"),
                 QStringLiteral("%1 µs").arg(b.value(QStringLiteral("BM_WeightStep")).Ms * 1e3, 0,
                                             'f', 2)});
    const double write = b.value(QStringLiteral("BM_RecordWrite")).Ms;
    const double cached = b.value(QStringLiteral("BM_RecordWriteCacheOnly")).Ms;
    rows.append({QStringLiteral("record write (open, write, sync to the device, close)"),
                 QStringLiteral("%1 µs").arg(write * 1e3, 0, 'f', 1),
                 QStringLiteral("%1 µs (left in the cache)").arg(cached * 1e3, 0, 'f', 1),
                 cached > 0 ? Times(write / cached) : QStringLiteral("—")});
    // A beep must not keep the next person waiting: the sync against a brisk 5 s per person.
    rows.append({QStringLiteral("record write against a person's pace"), Ms(write),
                 QStringLiteral("5000 ms (one person)"),
                 QStringLiteral("%1 %").arg(write / kPersonMs * 100, 0, 'f', 3),
                 QStringLiteral("≤ 1 % of the pace"), Met(write <= kPersonMs / 100)});
    rows.append({QStringLiteral("record read (open, read, close)"),
                 QStringLiteral("%1 µs").arg(b.value(QStringLiteral("BM_RecordRead")).Ms * 1e3, 0,
                                             'f', 1)});
    const double menuSave = b.value(QStringLiteral("BM_CsvSave1500")).Ms;
    const double writer = b.value(QStringLiteral("BM_CsvWriter1500")).Ms;
    rows.append({QStringLiteral("CSV save, 1500 records, in-process (menu's save)"), Ms(menuSave),
                 Ms(writer) + QStringLiteral(" (lines alone, no events)"), Times(menuSave / writer),
                 QStringLiteral("≤ 10 ms"), Met(menuSave <= 10)});
    rows.append({QStringLiteral("name-list write, 1500 entries"),
                 Ms(b.value(QStringLiteral("BM_NameListWrite1500")).Ms)});
    rows.append({QStringLiteral("name-list read, 1500 entries"),
                 Ms(b.value(QStringLiteral("BM_NameListRead1500")).Ms)});
    rows.append({QStringLiteral("edited-data list model, 1500 rows, every cell"),
                 Ms(b.value(QStringLiteral("BM_PreviewModelFill1500")).Ms)});
    const double preview = b.value(QStringLiteral("BM_OpenPreview1500")).Ms;
    rows.append({QStringLiteral("edited-data list open, 1500 rows"), Ms(preview),
                 QStringLiteral("—"), QStringLiteral("—"), QStringLiteral("≤ 150 ms"),
                 Met(preview <= 150)});
    const double names = b.value(QStringLiteral("BM_OpenNameList1500")).Ms;
    rows.append({QStringLiteral("name-list editor open, 1500 rows"), Ms(names), QStringLiteral("—"),
                 QStringLiteral("—"), QStringLiteral("≤ 150 ms"), Met(names <= 150)});
    // The first opening also loads the summary library, and Qt Charts, Print Support and
    // OpenGL with it: timed here, once, in this process, which has none of them yet.
    QElapsedTimer loading;
    loading.start();
    QPluginLoader library(QStringLiteral(HAKARON_SUMMARY_LIBRARY));
    const double load = library.instance() ? loading.nsecsElapsed() / 1e6 : 1e9;
    const double summary = b.value(QStringLiteral("BM_OpenSummary1500")).Ms + load;
    rows.append({QStringLiteral("summary window with its chart, 1500 pupils, with loading"),
                 Ms(summary), QStringLiteral("—"), QStringLiteral("—"), QStringLiteral("≤ 300 ms"),
                 Met(summary <= 300)});
    const double pdf = b.value(QStringLiteral("BM_SummaryPdf1500")).Ms;
    rows.append({QStringLiteral("summary report as PDF, 1500 pupils"), Ms(pdf), QStringLiteral("—"),
                 QStringLiteral("—"), QStringLiteral("≤ 1000 ms"), Met(pdf <= 1000)});
}

void FloodRow(const QString& figure, const QByteArray& frames, int runs, QList<Row>& rows) {
    QList<double> link;
    QList<double> cat;
    for (int i = 0; i < runs; ++i) {
        if (const auto ms = FloodThroughCat(frames)) cat.append(*ms);
        if (const auto ms = FloodThroughLink(frames, kFloodFrames)) link.append(*ms);
    }
    if (link.isEmpty() || cat.isEmpty()) {
        Note(figure + QStringLiteral(": failed"));
        rows.append({figure, QStringLiteral("failed")});
        return;
    }
    const double ratio = Median(link) / Median(cat);
    rows.append({figure, Ms(Median(link)), Ms(Median(cat)) + QStringLiteral(" (cat)"), Times(ratio),
                 QStringLiteral("≤ 2 × cat"), Met(ratio <= 2)});
}

// The p50 and p99 of each run of 1000 frames; the medians over the runs are shown.
void LatencyRows(int runs, QList<Row>& rows) {
    QList<double> p50s;
    QList<double> p99s;
    for (int i = 0; i < runs; ++i) {
        const QList<double> latencies = FrameToScreen(kLatencyFrames);
        if (latencies.isEmpty()) continue;
        p50s.append(Quantile(latencies, 0.5));
        p99s.append(Quantile(latencies, 0.99));
    }
    if (p99s.isEmpty()) {
        Note(QStringLiteral("frame -> screen failed"));
        rows.append({QStringLiteral("frame → screen"), QStringLiteral("failed")});
        return;
    }
    const QString reference = Ms(kFrameMs9600) + QStringLiteral(" (one frame at 9600 baud)");
    const double p50 = Median(p50s);
    const double p99 = Median(p99s);
    rows.append({QStringLiteral("frame → screen, p50 of 1000"), Ms(p50), reference,
                 Times(p50 / kFrameMs9600)});
    rows.append({QStringLiteral("frame → screen, p99 of 1000"), Ms(p99), reference,
                 Times(p99 / kFrameMs9600), QStringLiteral("≤ 5 ms"), Met(p99 <= 5)});
}

// Org/ of a program folder: user.dat (COM1, command mode, 9600 baud) and the records, if any.
bool WriteSetFiles(const QDir& folder, const QList<MeasureRecord>& records) {
    QFile settings(folder.filePath(QStringLiteral("Org/user.dat")));
    if (!folder.mkpath(QStringLiteral("Org")) || !settings.open(QIODevice::WriteOnly) ||
        settings.write("\"9600,N,8,1\",1,1,0,2\r\n") <= 0)
        return false;
    settings.close();
    return records.isEmpty() ||
           bool(RecordFile::Replace(folder.filePath(QStringLiteral("Org/zqmtemp.rdm")), records));
}

// A program folder with a copy of hakaron in it, a user.dat and (optionally) a record file.
class ProgramFolder {
public:
    ProgramFolder(const QString& hakaron, const QList<MeasureRecord>& records) {
        QDir(m_dir.path()).mkpath(QStringLiteral("Org"));
        QDir(m_dir.path()).mkpath(QStringLiteral("Name_List"));
        m_program = m_dir.filePath(QStringLiteral("hakaron"));
        const QString windows = QStringLiteral(HAKARON_WINDOW_LIBRARY);
        m_ok = QFile::copy(hakaron, m_program) &&
               QFile::copy(windows, m_dir.filePath(QFileInfo(windows).fileName()));
        m_ok = m_ok && WriteSetFiles(QDir(m_dir.path()), records);
    }
    ~ProgramFolder() { StopMeter(); }
    bool Ok() const { return m_ok; }
    QString Path() const { return m_dir.path(); }
    QString Program() const { return m_program; }
    QString File(const QString& name) const { return m_dir.filePath(name); }
    // The virtual meter in command mode on ports/COM1.
    bool StartMeter(const QString& meter) {
        m_meter = Spawn(meter, {QStringLiteral("--link"), File(QStringLiteral("ports/COM1"))});
        QDir(Path()).mkpath(QStringLiteral("ports"));
        for (int i = 0; i < 100; ++i) {
            if (QFileInfo(File(QStringLiteral("ports/COM1"))).isSymLink()) return true;
            usleep(50000);
        }
        return false;
    }
    void StopMeter() {
        if (m_meter <= 0) return;
        ::kill(pid_t(m_meter), SIGTERM);
        Reap(m_meter);
        m_meter = -1;
    }

private:
    QTemporaryDir m_dir;
    QString m_program;
    bool m_ok = false;
    qint64 m_meter = -1;
};

// Returns the bare window's peak memory in kB, the reference of the memory row.
qint64 StartUpRow(const QString& hakaron, const QString& meter, const QString& bare, int runs,
                  QList<Row>& rows) {
    ProgramFolder folder(hakaron, {});
    if (!folder.Ok() || !folder.StartMeter(meter)) {
        rows.append({QStringLiteral("start-up to main window"), QStringLiteral("failed")});
        return 0;
    }
    const QString mainTitle = QStringLiteral("ver.1.30");
    TimeToWindow(folder.Program(), mainTitle);  // warm the caches for both
    TimeToWindow(bare, QString());
    QList<double> program;
    QList<double> reference;
    QList<double> ratios;
    QList<double> bareKb;
    for (int i = 0; i < runs; ++i) {
        const auto b = TimeToWindow(bare, QString());
        const auto h = TimeToWindow(folder.Program(), mainTitle);
        if (!b || !h) continue;
        reference.append(b->Ms);
        bareKb.append(double(b->PeakKb));
        program.append(h->Ms);
        // The two starts of a pair meet the machine in the same state; the ratio of each pair
        // sways far less from run to run than either time does.
        ratios.append(h->Ms / b->Ms);
    }
    if (ratios.isEmpty()) {
        rows.append({QStringLiteral("start-up to main window"), QStringLiteral("failed")});
        return 0;
    }
    const double ratio = Median(ratios);
    rows.append({QStringLiteral("start-up to main window (Xvfb)"), Ms(Median(program)),
                 Ms(Median(reference)) + QStringLiteral(" (bare Qt window)"), Times(ratio),
                 QStringLiteral("≤ 1.5 × bare"), Met(ratio <= 1.5)});
    return qint64(Median(bareKb));
}

void SaveCsvRow(const QString& hakaron, int runs, QList<Row>& rows) {
    ProgramFolder folder(hakaron, BenchData::MeasurementSet(BenchData::FullSet));
    const QString csv = folder.File(QStringLiteral("day.csv"));
    const QString copy = folder.File(QStringLiteral("copy.csv"));
    QList<double> program;
    QList<double> reference;
    for (int i = 0; i < runs && folder.Ok(); ++i) {
        double start = NowMs();
        if (Reap(Spawn(folder.Program(), {QStringLiteral("--save-csv"), csv})) != 0) break;
        program.append(NowMs() - start);
        start = NowMs();
        if (Reap(Spawn(QStringLiteral("/bin/cp"), {csv, copy})) != 0) break;
        reference.append(NowMs() - start);
    }
    if (program.size() != runs) {
        rows.append({QStringLiteral("--save-csv, 1500 records"), QStringLiteral("failed")});
        return;
    }
    const double ratio = Median(program) / Median(reference);
    rows.append({QStringLiteral("`hakaron --save-csv`, 1500 records"), Ms(Median(program)),
                 Ms(Median(reference)) +
                     QStringLiteral(" (cp of the %L1 bytes)").arg(QFileInfo(csv).size()),
                 Times(ratio), QStringLiteral("≤ 5 × cp"), Met(ratio <= 5)});
}

// The Windows program's package folder under Wine (bench/run makes the Wine prefix and names
// the package, the runner and the folder its COM1 leads to, when the Windows build exists).
struct WineSetup {
    QString Package = qEnvironmentVariable("HAKARON_BENCH_WINE_PACKAGE");
    QString Runner = qEnvironmentVariable("HAKARON_BENCH_WINE");
    QString Ports = qEnvironmentVariable("HAKARON_BENCH_WINE_PORTS");
    QString BareWindow = qEnvironmentVariable("HAKARON_BENCH_WINE_BARE");  // may be missing
    bool Usable() const {
        return QFileInfo(Package + QStringLiteral("/hakaron.exe")).isFile() &&
               QFileInfo(Runner).isExecutable() && !Ports.isEmpty();
    }
};

// A copy of the Windows package with the same user.dat and records as a ProgramFolder.
class WineFolder {
public:
    WineFolder(const WineSetup& wine, const QList<MeasureRecord>& records) : m_wine(wine) {
        m_ok = Reap(Spawn(
                   QStringLiteral("/bin/cp"),
                   {QStringLiteral("-a"), wine.Package + QStringLiteral("/."), m_dir.path()})) == 0;
        m_ok = m_ok && WriteSetFiles(QDir(m_dir.path()), records);
    }
    ~WineFolder() {
        if (m_meter <= 0) return;
        ::kill(pid_t(m_meter), SIGTERM);
        Reap(m_meter);
    }
    bool Ok() const { return m_ok; }
    QString Exe() const { return m_dir.filePath(QStringLiteral("hakaron.exe")); }
    // The bare window beside the package's Qt DLLs; empty when the build has none.
    QString BareWindow() const {
        const QString copy = m_dir.filePath(QStringLiteral("hakaron-bare-window.exe"));
        return QFile::exists(copy) || QFile::copy(m_wine.BareWindow, copy) ? copy : QString();
    }
    QString File(const QString& name) const { return m_dir.filePath(name); }
    // The virtual meter behind the prefix's COM1.
    bool StartMeter(const QString& meter) {
        const QString link = m_wine.Ports + QStringLiteral("/COM1");
        QFile::remove(link);
        m_meter = Spawn(meter, {QStringLiteral("--link"), link});
        for (int i = 0; i < 100; ++i) {
            if (QFileInfo(link).isSymLink()) return true;
            usleep(50000);
        }
        return false;
    }
    // Runs the program under Wine in its folder and returns its exit code.
    int Run(const QStringList& arguments) const {
        return RunWindows(QStringList{Exe()} + arguments);
    }
    // Any Windows command line under Wine, in the folder.
    int RunWindows(const QStringList& commandLine) const {
        QProcess process;
        process.setWorkingDirectory(m_dir.path());
        process.start(m_wine.Runner, commandLine);
        process.waitForFinished(-1);
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

private:
    WineSetup m_wine;
    QTemporaryDir m_dir;
    bool m_ok = false;
    qint64 m_meter = -1;
};

// hakaron.exe under Wine against the Linux program, each start and each save in turn. Wine's
// server stays up for the run, as Windows does not start anew for each program.
void WineRows(const QString& hakaron, const QString& meter, int runs, QList<Row>& rows) {
    const WineSetup wine;
    if (!wine.Usable()) {
        Note(QStringLiteral("no Windows build or no Wine: the Wine rows are left out"));
        return;
    }
    const QString wineserver = QStringLiteral("/usr/bin/wineserver");
    Reap(Spawn(wineserver, {QStringLiteral("-p")}));
    // Windows' desktop is always there; Wine's closes a second after its last program and
    // starts again with the next one. A command prompt waiting for input keeps it, once the
    // first program has started it.
    QProcess desktopHolder;
    desktopHolder.start(wine.Runner, {QStringLiteral("cmd")});
    {
        ProgramFolder linux(hakaron, {});
        WineFolder windows(wine, {});
        QList<double> ratios;
        QList<double> windowsMs;
        QList<double> linuxMs;
        QList<double> bareRatios;
        QList<double> bareMs;
        const QString title = QStringLiteral("ver.1.30");
        const QString bareTitle = QStringLiteral("bare window");
        if (linux.Ok() && windows.Ok() && linux.StartMeter(meter) && windows.StartMeter(meter)) {
            const QString bare = windows.BareWindow();
            windows.Run({QStringLiteral("--version")});  // Wine's desktop and services up
            TimeToWindow(wine.Runner, title, {windows.Exe()}, true);
            TimeToWindow(linux.Program(), title);
            if (!bare.isEmpty()) TimeToWindow(wine.Runner, bareTitle, {bare}, true);
            for (int i = 0; i < runs; ++i) {
                const auto w = TimeToWindow(wine.Runner, title, {windows.Exe()}, true);
                const auto l = TimeToWindow(linux.Program(), title);
                if (!w || !l) continue;
                windowsMs.append(w->Ms);
                linuxMs.append(l->Ms);
                ratios.append(w->Ms / l->Ms);
                if (bare.isEmpty()) continue;
                if (const auto b = TimeToWindow(wine.Runner, bareTitle, {bare}, true)) {
                    bareMs.append(b->Ms);
                    bareRatios.append(w->Ms / b->Ms);
                }
            }
        }
        if (!bareRatios.isEmpty()) {
            const double ratio = Median(bareRatios);
            rows.append({QStringLiteral("hakaron.exe start-up under Wine, against a bare window"),
                         Ms(Median(windowsMs)),
                         Ms(Median(bareMs)) + QStringLiteral(" (bare Qt window under Wine)"),
                         Times(ratio), QStringLiteral("≤ 1.5 × bare"), Met(ratio <= 1.5)});
        }
        if (ratios.isEmpty()) {
            rows.append(
                {QStringLiteral("hakaron.exe start-up under Wine"), QStringLiteral("failed")});
        } else {
            const double ratio = Median(ratios);
            rows.append({QStringLiteral("hakaron.exe start-up to main window under Wine"),
                         Ms(Median(windowsMs)),
                         Ms(Median(linuxMs)) + QStringLiteral(" (the Linux program)"), Times(ratio),
                         QStringLiteral("≤ 2 × Linux"), Met(ratio <= 2)});
        }
    }
    {
        const auto set = BenchData::MeasurementSet(BenchData::FullSet);
        ProgramFolder linux(hakaron, set);
        WineFolder windows(wine, set);
        const QString linuxCsv = linux.File(QStringLiteral("day.csv"));
        const QString windowsCsv = QStringLiteral("Z:") + windows.File(QStringLiteral("day.csv"));
        // The copy command of Windows, itself a process Wine starts, is the reference of the
        // same figure as on Linux (`cp`).
        const QString copy = QString(windowsCsv).replace(u'/', u'\\');
        const QStringList copyCommand{QStringLiteral("cmd"),
                                      QStringLiteral("/c"),
                                      QStringLiteral("copy"),
                                      QStringLiteral("/y"),
                                      copy,
                                      copy + QStringLiteral(".copy")};
        QList<double> windowsMs;
        QList<double> linuxMs;
        QList<double> copyMs;
        for (int i = 0; i < runs && linux.Ok() && windows.Ok(); ++i) {
            double start = NowMs();
            if (windows.Run({QStringLiteral("--save-csv"), windowsCsv}) != 0) break;
            windowsMs.append(NowMs() - start);
            start = NowMs();
            if (windows.RunWindows(copyCommand) == 0) copyMs.append(NowMs() - start);
            start = NowMs();
            if (Reap(Spawn(linux.Program(), {QStringLiteral("--save-csv"), linuxCsv})) != 0) break;
            linuxMs.append(NowMs() - start);
        }
        if (windowsMs.size() != runs || linuxMs.size() != runs) {
            rows.append(
                {QStringLiteral("hakaron.exe --save-csv under Wine"), QStringLiteral("failed")});
        } else {
            if (copyMs.size() == runs) {
                const double toCopy = Median(windowsMs) / Median(copyMs);
                rows.append({QStringLiteral("`hakaron.exe --save-csv` under Wine, against a copy"),
                             Ms(Median(windowsMs)),
                             Ms(Median(copyMs)) + QStringLiteral(" (`cmd /c copy` under Wine)"),
                             Times(toCopy), QStringLiteral("≤ 5 × copy"), Met(toCopy <= 5)});
            }
            const double ratio = Median(windowsMs) / Median(linuxMs);
            rows.append({QStringLiteral("`hakaron.exe --save-csv` under Wine, 1500 records"),
                         Ms(Median(windowsMs)),
                         Ms(Median(linuxMs)) + QStringLiteral(" (the Linux program)"), Times(ratio),
                         QStringLiteral("≤ 3 × Linux"), Met(ratio <= 3)});
        }
    }
    desktopHolder.closeWriteChannel();
    desktopHolder.waitForFinished(5000);
    Reap(Spawn(wineserver, {QStringLiteral("-k")}));
}

// A day of 1500 people, written by the button or by automatic writing.
void MemoryRow(const QString& hakaron, const QString& meter, const QString& self,
               qint64 bareWindowKb, bool automatic, QList<Row>& rows) {
    const QString how = automatic ? QStringLiteral("automatic") : QStringLiteral("manual");
    ProgramFolder folder(hakaron, {});
    QString output;
    if (folder.Ok() && folder.StartMeter(meter)) {
        QProcess day;
        day.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        day.start(self, {QStringLiteral("--record-day"), folder.Path(),
                         QString::number(BenchData::FullSet), how,
                         QString::number(automatic ? kIdleMs : 0)});
        day.waitForFinished(-1);
        output = QString::fromLatin1(day.readAllStandardOutput());
    }
    const qint64 kb = output.section(u' ', 1, 1).trimmed().toLongLong();
    const qint64 growth = output.section(u' ', 3, 3).trimmed().toLongLong();
    const qint64 idleKb = output.section(u' ', 5, 5).trimmed().toLongLong();
    const qint64 records = RecordFile::Count(folder.File(QStringLiteral("Org/zqmtemp.rdm"))) - 2;
    const QString figure =
        QStringLiteral("peak memory (VmHWM) after 1500 records, %1 writing").arg(how);
    if (kb == 0 || records < BenchData::FullSet) {
        Note(QStringLiteral("record day (%1): %2 records, output %3")
                 .arg(how)
                 .arg(records)
                 .arg(output));
        rows.append({figure, QStringLiteral("failed")});
        return;
    }
    const double mb = double(kb) / 1024;
    const double bareMb = double(bareWindowKb) / 1024;
    rows.append({figure, QStringLiteral("%1 MB").arg(mb, 0, 'f', 1),
                 QStringLiteral("%1 MB (bare Qt window)").arg(bareMb, 0, 'f', 1),
                 bareMb > 0 ? Times(mb / bareMb) : QStringLiteral("—"), QStringLiteral("≤ 80 MB"),
                 Met(mb <= 80)});
    // A flat day: resident memory from person 750 to 1499, against one record's 150 bytes.
    rows.append({QStringLiteral("memory growth per person, %1 writing").arg(how),
                 QStringLiteral("%L1 bytes").arg(growth), QStringLiteral("150 bytes (one record)"),
                 Times(double(growth) / 150), QStringLiteral("≤ 1 KB"), Met(growth <= 1024)});
    if (!automatic) return;
    // What a day does by the clock: the link's animation ticks twice a second for hours.
    rows.append({QStringLiteral("memory growth over a minute online, idle"),
                 QStringLiteral("%L1 kB").arg(idleKb), QStringLiteral("—"), QStringLiteral("—"),
                 QStringLiteral("≤ 64 kB"), Met(idleKb <= 64)});
}

void PrintTable(const QList<Row>& rows) {
    std::printf("| figure | value | reference | ratio | goal | met |\n");
    std::printf("|---|---|---|---|---|---|\n");
    for (const Row& r : rows)
        std::printf("| %s | %s | %s | %s | %s | %s |\n", qPrintable(r.Figure), qPrintable(r.Value),
                    qPrintable(r.Reference), qPrintable(r.Ratio), qPrintable(r.Goal),
                    qPrintable(r.Met));
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.value(1) == u"--record-day")
        return RecordDay(args.value(2), args.value(3).toInt(), args.value(4) == u"automatic",
                         args.value(5).toInt());
    // --quick: each whole-program figure once; --only NAME: one part (for profiling).
    const int runs = args.contains(QStringLiteral("--quick")) ? 1 : 7;
    const QString only = args.value(args.indexOf(QStringLiteral("--only")) + 1);
    const auto wanted = [&](const char* part) {
        return !args.contains(QStringLiteral("--only")) || only == QLatin1String(part);
    };

    QList<Row> rows;
    if (wanted("benchmarks")) {
        Note(QStringLiteral("benchmarks ..."));
        BenchmarkRows(RunBenchmarks(QStringLiteral(HAKARON_BENCH_BIN)), rows);
    }
    if (wanted("flood")) {
        Note(QStringLiteral("pty flood ..."));
        // A flood is over in milliseconds, so a busy machine sways it most: more runs.
        FloodRow(QStringLiteral("pty flood, 10,000 frames (heights and weights)"),
                 PersonFrames(kFloodFrames), runs * 3, rows);
        FloodRow(QStringLiteral("pty flood, 10,000 frames (heights only)"),
                 HeightFrames(kFloodFrames), runs * 3, rows);
    }
    if (wanted("latency")) {
        Note(QStringLiteral("frame -> screen ..."));
        LatencyRows(runs == 1 ? 1 : 5, rows);
    }
    qint64 bareKb = 0;
    if (wanted("startup")) {
        Note(QStringLiteral("start-up ..."));
        bareKb = StartUpRow(QStringLiteral(HAKARON_BIN), QStringLiteral(HAKARON_METER_BIN),
                            QStringLiteral(BARE_WINDOW_BIN), runs == 1 ? 1 : runs * 3, rows);
    }
    if (wanted("savecsv")) {
        Note(QStringLiteral("--save-csv ..."));
        SaveCsvRow(QStringLiteral(HAKARON_BIN), runs * 2 + 1, rows);
    }
    if (wanted("wine")) {
        Note(QStringLiteral("hakaron.exe under Wine ..."));
        WineRows(QStringLiteral(HAKARON_BIN), QStringLiteral(HAKARON_METER_BIN),
                 runs == 1 ? 1 : runs, rows);
    }
    if (wanted("memory")) {
        Note(QStringLiteral(
            "a day of 1500 records, by the button and automatically, and an idle minute ..."));
        for (const bool automatic : {false, true})
            MemoryRow(QStringLiteral(HAKARON_BIN), QStringLiteral(HAKARON_METER_BIN),
                      QCoreApplication::applicationFilePath(), bareKb, automatic, rows);
    }
    PrintTable(rows);
    return 0;
}
