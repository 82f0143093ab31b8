#pragma once

#include <QList>
#include <QString>
#include <optional>

// The whole-program figures of bench/run. Every figure is measured beside its reference in
// the same run, several times in turn, and the medians are kept.

namespace Figures {

// Milliseconds on a steady clock.
double NowMs();
double Median(QList<double> values);
// The q-quantile (0-1) of the values, nearest rank.
double Quantile(QList<double> values, double q);

// A pseudo-terminal: the master end we write to and the slave path a program opens.
struct Pty {
    int Master = -1;
    int Slave = -1;  // held open so that the line survives its reader closing it
    QString SlavePath;
    bool Open();
    void Close();
};
// Makes <folder>/ports/COM1 point at the path.
bool LinkCom1(const QString& folder, const QString& device);
// Writes every byte to a blocking descriptor.
bool WriteAll(int fd, const QByteArray& bytes);
// The bytes of `count` height frames, as the meter sends them.
QByteArray HeightFrames(int count);
// The bytes of `count` frames of people in a row: a height, then a weight, and so on.
QByteArray PersonFrames(int count);

// The pty flood of these frames: from the first byte written until the last frame was
// decoded by the real link (QSerialPort, MeterLink, FrameAssembler, DecodeFrame), in ms;
// empty on failure. Every frame must print a value.
std::optional<double> FloodThroughLink(const QByteArray& frames, int count);
// The same bytes drained from a pty by cat, in ms.
std::optional<double> FloodThroughCat(const QByteArray& frames);

// Frame -> screen: for each of `frames` weight frames, from its write on the pty until the
// main window painted its BMI, in ms.
QList<double> FrameToScreen(int frames);

// The main window of `folder` measures `records` people through the virtual meter on
// ports/COM1 (which must be running): request height and weight, write (by the button, or
// from automatic writing's timer with its delay cut short), next; then it stays online and
// idle for `idleMs`. Prints "VmHWM <kB> growth <bytes per person> idle <kB>": resident memory
// from half-way to before the last write, and over the idle time. Returns the process exit code.
// Runs in a process of its own.
int RecordDay(const QString& folder, int records, bool automatic, int idleMs);

// Process figures.
// Starts a program; stdout to /dev/null unless `stdoutFd` is given.
qint64 Spawn(const QString& program, const QStringList& arguments, int stdoutFd = -1);
// Waits for the process and returns its exit code (-1 on a signal).
int Reap(qint64 pid);
// VmHWM of a running process, in kB; 0 when unknown.
qint64 PeakMemoryKb(qint64 pid);
// VmRSS of a running process, in kB; 0 when unknown.
qint64 MemoryKb(qint64 pid);

struct StartUp {
    double Ms = 0;
    qint64 PeakKb = 0;  // VmHWM when the window appeared
};
// From exec until the program maps a top-level window whose title contains `titlePart`
// (any title when empty) on the X display; the window is then closed as by its close box.
// The window must be the started process's own unless `anyProcess` (a program that Wine
// starts maps its windows from a process of Wine's choosing).
std::optional<StartUp> TimeToWindow(const QString& program, const QString& titlePart,
                                    const QStringList& arguments = {}, bool anyProcess = false);

}  // namespace Figures
