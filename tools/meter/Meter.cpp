#include "Meter.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
QString SystemError(const QString& what) {
    return QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(errno)));
}

// Raw 8-bit line: no echo, no line editing, no translation of CR/LF.
void MakeRaw(int fd, bool realLine) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) return;
    cfmakeraw(&t);
    if (realLine) {
        // The meter's own line: 4800 baud, even parity, 8 data bits, 1 stop bit.
        cfsetispeed(&t, B4800);
        cfsetospeed(&t, B4800);
        t.c_cflag |= PARENB | CS8 | CLOCAL | CREAD;
        t.c_cflag &= ~(PARODD | CSTOPB);
    }
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    tcsetattr(fd, TCSANOW, &t);
}
}  // namespace

Meter::Meter(MeterOptions options, QObject* parent)
    : QObject(parent), m_options(std::move(options)), m_people(m_options.Seed) {
    m_manualTimer.setInterval(qRound(m_options.IntervalSeconds * 1000.0));
    connect(&m_manualTimer, &QTimer::timeout, this, &Meter::manualTimer_Timeout);
    m_scriptTimer.setSingleShot(true);
    connect(&m_scriptTimer, &QTimer::timeout, this, &Meter::RunScript);
}

Meter::~Meter() {
    Stop();
}

std::optional<QString> Meter::Start() {
    if (auto error = OpenLine()) return error;
    if (m_options.HasScript)
        QTimer::singleShot(0, this, &Meter::RunScript);
    else if (m_options.OperationMode == MeterOptions::Mode::Manual && !m_options.Silent)
        m_manualTimer.start();
    if (m_options.UnplugAfterSeconds >= 0)
        QTimer::singleShot(qRound(m_options.UnplugAfterSeconds * 1000.0), this, &Meter::Unplug);
    return std::nullopt;
}

std::optional<QString> Meter::OpenLine() {
    if (auto error = m_options.Device.isEmpty() ? OpenPseudoTerminal() : OpenDevice()) {
        CloseLine();
        return error;
    }
    if (auto error = MakeLink()) {
        CloseLine();
        return error;
    }
    m_splitter = {};
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &Meter::line_Readable);
    return std::nullopt;
}

void Meter::CloseLine() {
    // A closed pty's number goes to the next pty made on the machine, which must never be taken
    // for this meter: the link is left pointing at nothing, as a pulled adapter's name stays
    // without its device.
    if (m_fd >= 0 && m_options.Device.isEmpty() && !m_options.Link.isEmpty() &&
        QFileInfo(m_options.Link).symLinkTarget() == m_devicePath)
        PointLinkAt(m_options.Link + QStringLiteral(".unplugged"));
    delete m_notifier;
    m_notifier = nullptr;
    if (m_fd >= 0) ::close(m_fd);
    if (m_slaveFd >= 0) ::close(m_slaveFd);
    m_fd = m_slaveFd = -1;
}

void Meter::Replug(int milliseconds) {
    Log(QStringLiteral("unplugged for %1 ms").arg(milliseconds));
    CloseLine();
    QTimer::singleShot(milliseconds, this, [this] {
        if (const auto error = OpenLine()) {
            Log(*error);
            Done();
            return;
        }
        Log(QStringLiteral("plugged in again on %1").arg(m_devicePath));
        emit Replugged(m_devicePath);
        RunScript();
    });
}

std::optional<QString> Meter::OpenPseudoTerminal() {
    m_fd = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_fd < 0) return SystemError(QStringLiteral("posix_openpt"));
    if (grantpt(m_fd) != 0 || unlockpt(m_fd) != 0) return SystemError(QStringLiteral("grantpt"));
    const char* name = ptsname(m_fd);
    if (!name) return SystemError(QStringLiteral("ptsname"));
    m_devicePath = QString::fromLocal8Bit(name);
    m_slaveFd = ::open(name, O_RDWR | O_NOCTTY);
    if (m_slaveFd < 0) return SystemError(m_devicePath);
    MakeRaw(m_slaveFd, false);
    fcntl(m_fd, F_SETFL, fcntl(m_fd, F_GETFL) | O_NONBLOCK);
    return std::nullopt;
}

std::optional<QString> Meter::OpenDevice() {
    m_devicePath = m_options.Device;
    m_fd = ::open(QFile::encodeName(m_devicePath).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_fd < 0) return SystemError(m_devicePath);
    MakeRaw(m_fd,
            isatty(m_fd) && !QFileInfo(m_devicePath).canonicalFilePath().startsWith(u"/dev/pts/"));
    return std::nullopt;
}

std::optional<QString> Meter::MakeLink() {
    if (m_options.Link.isEmpty()) return std::nullopt;
    const QFileInfo link(m_options.Link);
    if (link.isSymLink()) {
        // Ours from an earlier run or line (a pty, or gone); anything else is the user's.
        const QString target = link.symLinkTarget();
        if (target == m_devicePath) return std::nullopt;
        if (QFileInfo::exists(target) && !target.startsWith(u"/dev/pts/"))
            return QStringLiteral("%1 points at %2; remove it first").arg(link.filePath(), target);
    } else if (link.exists()) {
        return QStringLiteral("%1 exists and is not a link; remove it first").arg(link.filePath());
    }
    QDir().mkpath(link.absolutePath());
    if (!PointLinkAt(m_devicePath))
        return QStringLiteral("cannot make the link %1").arg(link.filePath());
    return std::nullopt;
}

bool Meter::PointLinkAt(const QString& target) const {
    // Made beside it and renamed over it: the program never finds the name missing.
    const QString fresh = m_options.Link + QStringLiteral(".new");
    QFile::remove(fresh);
    if (QFile::link(target, fresh) &&
        std::rename(QFile::encodeName(fresh).constData(),
                    QFile::encodeName(m_options.Link).constData()) == 0)
        return true;
    QFile::remove(fresh);
    return false;
}

void Meter::Stop() {
    m_manualTimer.stop();
    m_scriptTimer.stop();
    CloseLine();
}

void Meter::Log(const QString& text) const {
    if (!m_options.Verbose) return;
    std::fprintf(stderr, "hakaron-meter: %s\n", qPrintable(text));
    std::fflush(stderr);
}

void Meter::Send(const QByteArray& bytes) {
    if (m_fd < 0) return;
    Log(QStringLiteral("-> %1").arg(meter::Escape(bytes)));
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.constData() + done, bytes.size() - done);
        if (n > 0) {
            done += n;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            // Nobody reads and the line's buffer is full: the rest is lost, as on a real line.
            Log(QStringLiteral("line full, %1 bytes dropped").arg(bytes.size() - done));
            return;
        }
    }
}

void Meter::line_Readable() {
    char buf[512];
    const ssize_t n = ::read(m_fd, buf, sizeof buf);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
    if (n <= 0) {
        // The device went away (a real line); there is nothing left to serve.
        Log(QStringLiteral("line closed"));
        Done();
        return;
    }
    const QByteArray bytes(buf, n);
    Log(QStringLiteral("<- %1").arg(meter::Escape(bytes)));
    for (const QByteArray& command : m_splitter.Feed(bytes)) {
        if (!m_waitingFor.isEmpty() && command == m_waitingFor) {
            m_waitingFor.clear();
            QTimer::singleShot(0, this, &Meter::RunScript);
        }
        if (m_options.Silent) {
            Log(QStringLiteral("silent: %1 not answered").arg(QString::fromLatin1(command)));
            continue;
        }
        if (m_options.OperationMode != MeterOptions::Mode::Command) {
            Log(QStringLiteral("command %1 ignored in manual mode")
                    .arg(QString::fromLatin1(command)));
            continue;
        }
        const QList<QByteArray> replies = meter::RepliesTo(command, m_options.Readings);
        if (replies.isEmpty())
            Log(QStringLiteral("unknown command %1").arg(meter::Escape(command)));
        for (const QByteArray& frame : replies) Send(frame);
    }
}

void Meter::manualTimer_Timeout() {
    if (m_slaveFd >= 0) {
        // A person the program did not read before the next one is lost, as on a real
        // line; otherwise a program that was offline would get a burst of old people.
        tcflush(m_slaveFd, TCIFLUSH);
    }
    const meter::Person person = m_people.Next();
    for (const QByteArray& frame : meter::PersonFrames(person, m_options.Sitting)) Send(frame);
    ++m_peopleSent;
    if (m_options.Count > 0 && m_peopleSent >= m_options.Count) {
        m_manualTimer.stop();
        if (m_options.ExitWhenDone) Done();
    }
}

void Meter::RunScript() {
    while (m_fd >= 0 && m_scriptStep < m_options.Script.size()) {
        const meter::ScriptStep& step = m_options.Script.at(m_scriptStep++);
        switch (step.What) {
            case meter::ScriptStep::Kind::Send:
                Send(step.Bytes);
                break;
            case meter::ScriptStep::Kind::Pause:
                m_scriptTimer.start(step.Milliseconds);
                return;
            case meter::ScriptStep::Kind::Wait:
                Log(QStringLiteral("waiting for %1").arg(QString::fromLatin1(step.Bytes)));
                m_waitingFor = step.Bytes;
                return;
            case meter::ScriptStep::Kind::Unplug:
                Unplug();
                return;
            case meter::ScriptStep::Kind::Replug:
                Replug(step.Milliseconds);
                return;
            case meter::ScriptStep::Kind::End:
                Done();
                return;
        }
    }
    if (m_scriptStep >= m_options.Script.size() && m_options.ExitWhenDone) Done();
}

void Meter::Unplug() {
    Log(QStringLiteral("unplugged"));
    Done();
}

void Meter::Done() {
    Stop();
    emit Finished();
}
