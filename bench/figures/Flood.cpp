// The pty flood: the real receive path against cat on the same bytes.

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <thread>

#include "BenchSupport.h"
#include "Figures.h"
#include "G_Param.h"
#include "MeterLink.h"
#include "QtSerialPort.h"

namespace Figures {
namespace {

constexpr int kPatienceMs = 60000;

// Counts the printed values and ends the loop at the last one.
class CountingDisplay : public SilentDisplay {
public:
    CountingDisplay(int expected, QEventLoop& loop) : m_expected(expected), m_loop(loop) {}
    void PrintLine(const QString&) override {
        if (++m_count == m_expected) {
            m_doneMs = NowMs();
            m_loop.quit();
        }
    }
    int Count() const { return m_count; }
    double DoneMs() const { return m_doneMs; }

private:
    int m_expected;
    QEventLoop& m_loop;
    int m_count = 0;
    double m_doneMs = 0;
};

// A writer thread that is always joined: when the reader gave up, the rest of the bytes are
// drained from the slave end so that the writer never stays blocked.
class Writer {
public:
    Writer(const Pty& pty, const QByteArray& bytes) : m_pty(pty) {
        m_thread = std::thread([this, bytes] {
            WriteAll(m_pty.Master, bytes);
            m_done = true;
        });
    }
    ~Writer() {
        fcntl(m_pty.Slave, F_SETFL, fcntl(m_pty.Slave, F_GETFL) | O_NONBLOCK);
        char buffer[4096];
        while (!m_done)
            if (::read(m_pty.Slave, buffer, sizeof buffer) <= 0) usleep(1000);
        m_thread.join();
    }

private:
    const Pty& m_pty;
    std::atomic<bool> m_done = false;
    std::thread m_thread;
};

}  // namespace

std::optional<double> FloodThroughLink(const QByteArray& bytes, int frames) {
    QTemporaryDir folder;
    Pty pty;
    if (!pty.Open() || !LinkCom1(folder.path(), pty.SlavePath)) return std::nullopt;
    G_Param = GlobalParams{};
    G_Param.SetFolders(folder.path());
    G_Param.PortNumber = 1;
    G_Param.CommSettings = QStringLiteral("9600,N,8,1");
    G_Param.OperationMode = 0;

    QEventLoop loop;
    QtSerialPort port(folder.path());
    SilentDialogs dialogs;
    CountingDisplay display(frames, loop);
    MeterLink link(port, dialogs, display);
    link.OpenAtStartup();
    if (!link.IsOnline()) return std::nullopt;

    double start = 0;
    {
        start = NowMs();
        const Writer writer(pty, bytes);
        QTimer::singleShot(kPatienceMs, &loop, &QEventLoop::quit);
        loop.exec();
        link.SetLinkOnline(false);
    }
    pty.Close();
    if (display.Count() != frames) return std::nullopt;
    return display.DoneMs() - start;
}

std::optional<double> FloodThroughCat(const QByteArray& bytes) {
    Pty pty;
    int out[2];
    if (!pty.Open() || pipe(out) != 0) return std::nullopt;
    const qint64 cat = Spawn(QStringLiteral("/bin/cat"), {pty.SlavePath}, out[1]);
    ::close(out[1]);
    if (cat < 0) return std::nullopt;
    struct Ending {  // cat, the pipe and the pty go on every way out
        qint64 cat;
        int pipe;
        Pty& pty;
        ~Ending() {
            ::kill(pid_t(cat), SIGKILL);
            Reap(cat);
            ::close(pipe);
            pty.Close();
        }
    } ending{cat, out[0], pty};
    // The clock starts once cat is reading: when a first frame has come back through it.
    char buffer[65536];
    const QByteArray first = HeightFrames(1);
    WriteAll(pty.Master, first);
    for (qsizetype got = 0; got < first.size();) {
        const ssize_t n = ::read(out[0], buffer, sizeof buffer);
        if (n <= 0 && errno != EINTR) return std::nullopt;
        got += std::max<ssize_t>(n, 0);
    }
    const double start = NowMs();
    const Writer writer(pty, bytes);
    qsizetype received = 0;
    while (received < bytes.size()) {
        const ssize_t n = ::read(out[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        received += n;
    }
    const double end = NowMs();
    if (received != bytes.size()) return std::nullopt;
    return end - start;
}

}  // namespace Figures
