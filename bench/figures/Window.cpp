// The figures that need the real main window: frame -> screen latency and a whole day of
// records for the peak memory.

#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <cstdio>

#include "Figures.h"
#include "G_Param.h"
#include "LinePrintBox.h"
#include "MeterLink.h"
#include "QtDeviceInventory.h"
#include "QtDialogs.h"
#include "QtSerialPort.h"
#include "QtServices.h"
#include "frmMain.h"

namespace Figures {
namespace {

constexpr int kFramePatienceMs = 2000;

// user.dat: COM1 at 9600 baud, command mode, automatic writing off.
bool WriteUserDat(const QString& folder) {
    QDir(folder).mkpath(QStringLiteral("Org"));
    QDir(folder).mkpath(QStringLiteral("Name_List"));
    QFile file(QDir(folder).filePath(QStringLiteral("Org/user.dat")));
    return file.open(QIODevice::WriteOnly) && file.write("\"9600,N,8,1\",1,1,0,2\r\n") > 0;
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

// Ends a loop when the received-data box paints a line ending in the awaited text.
class PaintWatch : public QObject {
public:
    PaintWatch(LinePrintBox& box, QEventLoop& loop) : m_box(box), m_loop(loop) {
        box.installEventFilter(this);
    }
    void Await(const QString& ending) {
        m_ending = ending;
        m_shownMs = 0;
    }
    double ShownMs() const { return m_shownMs; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &m_box && event->type() == QEvent::Paint && m_shownMs == 0 &&
            !m_box.Lines().isEmpty() && m_box.Lines().last().endsWith(m_ending)) {
            m_shownMs = NowMs();
            m_loop.quit();
        }
        return false;
    }

private:
    LinePrintBox& m_box;
    QEventLoop& m_loop;
    QString m_ending;
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
        PaintWatch watch(*main.Window().picDisp, loop);
        const QByteArray all = HeightFrames(frames);
        const qsizetype frameLength = all.size() / frames;
        for (int i = 0; i < frames; ++i) {
            const QByteArray frame = all.mid(i * frameLength, frameLength);
            watch.Await(QString::fromLatin1(frame.mid(4, 7).trimmed()) + QStringLiteral("cm"));
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

int RecordDay(const QString& folder, int records) {
    if (!WriteUserDat(folder)) return 1;
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
    for (int k = 0; k < records; ++k) {
        window.cmdCommandSwitch[3]->click();  // height and weight
        patience.start(kFramePatienceMs * 5);
        if (loop.exec() != 0) {
            std::fprintf(stderr, "no weight from the meter for person %d\n", k + 1);
            return 1;
        }
        window.cmdInputData->click();
    }
    QApplication::processEvents();
    std::printf("VmHWM %lld\n", PeakMemoryKb(getpid()));
    std::fflush(stdout);
    return 0;
}

}  // namespace Figures
