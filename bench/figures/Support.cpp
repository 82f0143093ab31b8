#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>

#include "Figures.h"

extern char** environ;

namespace Figures {

double NowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

double Median(QList<double> values) {
    return Quantile(std::move(values), 0.5);
}

double Quantile(QList<double> values, double q) {
    if (values.isEmpty()) return 0;
    std::sort(values.begin(), values.end());
    const auto rank = qsizetype(std::ceil(q * double(values.size())));
    return values[std::clamp<qsizetype>(rank - 1, 0, values.size() - 1)];
}

bool Pty::Open() {
    Master = posix_openpt(O_RDWR | O_NOCTTY);
    if (Master < 0 || grantpt(Master) != 0 || unlockpt(Master) != 0) return false;
    SlavePath = QString::fromLocal8Bit(ptsname(Master));
    Slave = ::open(ptsname(Master), O_RDWR | O_NOCTTY);
    if (Slave < 0) return false;
    // Raw, as a serial line is: no echo, no line editing, no signal from the ETX byte.
    termios raw{};
    tcgetattr(Slave, &raw);
    cfmakeraw(&raw);
    return tcsetattr(Slave, TCSANOW, &raw) == 0;
}

void Pty::Close() {
    if (Slave >= 0) ::close(Slave);
    if (Master >= 0) ::close(Master);
    Slave = Master = -1;
}

bool LinkCom1(const QString& folder, const QString& device) {
    QDir(folder).mkpath(QStringLiteral("ports"));
    const QString link = QDir(folder).filePath(QStringLiteral("ports/COM1"));
    QFile::remove(link);
    return QFile::link(device, link);
}

bool WriteAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

QByteArray HeightFrames(int count) {
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += "\x02SY," +
                 QByteArray::number(100.0 + (i % 900) / 10.0, 'f', 1).rightJustified(7) + "\x03";
    return bytes;
}

QByteArray PersonFrames(int count) {
    QByteArray bytes;
    for (int i = 0; i < count; ++i) {
        const double value = i % 2 == 0 ? 120.0 + (i % 600) / 10.0 : 25.0 + (i % 500) / 10.0;
        bytes += (i % 2 == 0 ? "\x02SY," : "\x02TZ,") +
                 QByteArray::number(value, 'f', 1).rightJustified(7) + "\x03";
    }
    return bytes;
}

qint64 Spawn(const QString& program, const QStringList& arguments, int stdoutFd) {
    QList<QByteArray> args{QFile::encodeName(program)};
    for (const QString& a : arguments) args.append(a.toLocal8Bit());
    QList<char*> argv;
    for (QByteArray& a : args) argv.append(a.data());
    argv.append(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdoutFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, stdoutFd, STDOUT_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : -1;
}

int Reap(qint64 pid) {
    int status = 0;
    while (waitpid(pid_t(pid), &status, 0) < 0)
        if (errno != EINTR) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

namespace {
qint64 StatusKb(qint64 pid, const QByteArray& field) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').value(0).toLongLong();
    return 0;
}
}  // namespace

qint64 PeakMemoryKb(qint64 pid) {
    return StatusKb(pid, "VmHWM:");
}

qint64 MemoryKb(qint64 pid) {
    return StatusKb(pid, "VmRSS:");
}

}  // namespace Figures
