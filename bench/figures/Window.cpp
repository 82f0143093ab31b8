// The figures that need the real main window: frame -> screen latency and a whole day of
// records for the peak memory.

#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <cstdio>

#include "Figures.h"
#include "G_Param.h"
#include "MeterLink.h"
#include "QtDeviceInventory.h"
#include "QtDialogs.h"
#include "QtSerialPort.h"
#include "QtServices.h"
#include "frmMain.h"
#include "mdlStandard.h"

namespace Figures {
namespace {

constexpr int kFramePatienceMs = 2000;

// user.dat: COM1 at 9600 baud, command mode, automatic writing off or after 1 s.
bool WriteUserDat(const QString& folder, bool automatic = false) {
    QDir(folder).mkpath(QStringLiteral("Org"));
    QDir(folder).mkpath(QStringLiteral("Name_List"));
    QFile file(QDir(folder).filePath(QStringLiteral("Org/user.dat")));
    return file.open(QIODevice::WriteOnly) &&
           file.write(automatic ? "\"9600,N,8,1\",1,1,1,1\r\n" : "\"9600,N,8,1\",1,1,0,2\r\n") > 0;
}

// The main window as main() builds it, on the real platform objects.
class RealMainWindow {
public:
    explicit RealMainWindow(const QString& folder)
        : m_port(folder),
          m_lock(QDir(folder).filePath(QStringLiteral("Org"))),
          m_inventory(folder),
          m_window(Platform{folder, &m_port, &m_dialogs, &m_clock, &m_beeper, &m_lock, &m_inventory,
                            &m_shell}) {}
    bool Start() {
        if (!m_window.Form_Load()) return false;
        m_window.show();
        for (int i = 0;
             i < 200 && !(m_window.windowHandle() && m_window.windowHandle()->isExposed()); ++i) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
            usleep(5000);
        }
        QApplication::processEvents();
        return m_window.Link().IsOnline();
    }
    frmMain& Window() { return m_window; }

private:
    QtSerialPort m_port;
    QtDialogs m_dialogs;
    SystemClock m_clock;
    SystemBeeper m_beeper;
    LockFileInstanceLock m_lock;
    QtDeviceInventory m_inventory;
    DesktopShell m_shell;
    frmMain m_window;
};

// Ends a loop when the BMI label paints the awaited text: the value of a weight frame, as the
// user sees it. (The received-data box is no witness: once it is full, a new line is printed
// below its bottom edge until the box is cleared.)
class PaintWatch : public QObject {
public:
    PaintWatch(QLabel& label, QEventLoop& loop) : m_label(label), m_loop(loop) {
        label.installEventFilter(this);
    }
    void Await(const QString& text) {
        m_text = text;
        m_shownMs = 0;
    }
    double ShownMs() const { return m_shownMs; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &m_label && event->type() == QEvent::Paint && m_shownMs == 0 &&
            m_label.text() == m_text) {
            m_shownMs = NowMs();
            m_loop.quit();
        }
        return false;
    }

private:
    QLabel& m_label;
    QEventLoop& m_loop;
    QString m_text;
    double m_shownMs = 0;
};

}  // namespace

QList<double> FrameToScreen(int frames) {
    QTemporaryDir folder;
    Pty pty;
    if (!pty.Open() || !LinkCom1(folder.path(), pty.SlavePath) || !WriteUserDat(folder.path()))
        return {};
    QList<double> latencies;
    {
        RealMainWindow main(folder.path());
        if (!main.Start()) return {};
        QEventLoop loop;
        QTimer patience;
        patience.setSingleShot(true);
        QObject::connect(&patience, &QTimer::timeout, &loop, &QEventLoop::quit);
        PaintWatch watch(*main.Window().lblBmiRes, loop);
        // A height first; then weights whose BMI differs from the one before.
        WriteAll(pty.Master, "\x02SY,  170.0\x03");
        for (int i = 0; i < frames; ++i) {
            const QByteArray weight = QByteArray::number(40 + i % 40) + ".0";
            const QByteArray frame = "\x02TZ," + weight.rightJustified(7) + "\x03";
            watch.Await(
                ComputeWeightIndices(QStringLiteral("170.0"), QString::fromLatin1(weight)).Bmi);
            const double written = NowMs();
            if (!WriteAll(pty.Master, frame)) break;
            patience.start(kFramePatienceMs);
            loop.exec();
            if (watch.ShownMs() == 0) break;
            latencies.append(watch.ShownMs() - written);
        }
        main.Window().Link().SetLinkOnline(false);
    }
    pty.Close();
    return latencies.size() == frames ? latencies : QList<double>{};
}

int RecordDay(const QString& folder, int records, bool automatic, int idleMs) {
    if (!WriteUserDat(folder, automatic)) return 1;
    RealMainWindow main(folder);
    if (!main.Start()) return 1;
    frmMain& window = main.Window();
    // A message box (the last number reached, say) must not stop the day.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    closer.start(50);

    QEventLoop loop;
    QTimer patience;
    patience.setSingleShot(true);
    QObject::connect(&patience, &QTimer::timeout, &loop, [&loop] { loop.exit(1); });
    QObject::connect(&window.Link(), &MeterLink::FrameReceived, &loop,
                     [&loop](const QString& code) {
                         if (code == u"TZ") loop.quit();
                     });
    // Automatic writing writes from its timer; the day ends that wait once it has written.
    QObject::connect(window.AwTimer, &QTimer::timeout, &loop, &QEventLoop::quit);
    // From half-way, when the first people have warmed the caches, to before the last write,
    // whose "No.1に戻ります" box repaints the whole window once (its image in shared memory
    // counts as resident): what lies between is what a write keeps.
    const int settled = records / 2;
    qint64 settledKb = 0;
    qint64 lastKb = 0;
    for (int k = 0; k < records; ++k) {
        if (k == settled) settledKb = MemoryKb(getpid());
        if (k == records - 1) lastKb = MemoryKb(getpid());
        window.cmdCommandSwitch[3]->click();  // height and weight
        patience.start(kFramePatienceMs * 5);
        if (loop.exec() != 0) {
            std::fprintf(stderr, "no weight from the meter for person %d\n", k + 1);
            return 1;
        }
        if (!automatic) {
            window.cmdInputData->click();
            continue;
        }
        // The write of automatic writing, from its timer, without waiting a second per person
        // (the idle minute below covers what a day does by the clock).
        if (!window.AwTimer->isActive()) {
            std::fprintf(stderr, "automatic writing not armed for person %d\n", k + 1);
            return 1;
        }
        window.AwTimer->start(0);
        patience.start(kFramePatienceMs * 5);
        if (loop.exec() != 0) return 1;
    }
    QApplication::processEvents();
    const qint64 dayKb = MemoryKb(getpid());
    const qint64 growthBytes =
        records - 1 > settled ? (lastKb - settledKb) * 1024 / (records - 1 - settled) : 0;
    // A minute online with nobody measured: the link's animation and timers run as all day.
    QTimer minute;
    minute.setSingleShot(true);
    QObject::connect(&minute, &QTimer::timeout, &loop, &QEventLoop::quit);
    patience.stop();
    minute.start(idleMs);
    loop.exec();
    std::printf("VmHWM %lld growth %lld idle %lld\n", PeakMemoryKb(getpid()), growthBytes,
                MemoryKb(getpid()) - dayKb);
    std::fflush(stdout);
    return 0;
}

}  // namespace Figures
