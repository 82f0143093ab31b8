// Start-up to a window on the X display, seen from the X server: the map of the program's
// top-level window is the moment it is shown.

#include "Figures.h"

// After every Qt header: Xlib defines macros that clash with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace Figures {
namespace {

constexpr double kPatienceMs = 30000;

// A window may be gone before its properties are read; that is no reason to stop.
int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

qint64 WindowPid(Display* display, Window window) {
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    qint64 pid = -1;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &after, &data) == Success &&
        data && count == 1 && format == 32)
        pid = qint64(*reinterpret_cast<unsigned long*>(data));
    if (data) XFree(data);
    return pid;
}

QString WindowTitle(Display* display, Window window) {
    char* name = nullptr;
    QString title;
    if (XFetchName(display, window, &name) && name) title = QString::fromUtf8(name);
    if (name) XFree(name);
    return title;
}

// Asks the window to close as a window manager's close box does, so that the program ends
// the normal way (its lock files removed) before the next start.
void CloseWindow(Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

// Waits up to `ms` for the process to end; kills it when it does not.
void EndProcess(qint64 pid, double ms) {
    const double start = NowMs();
    int status = 0;
    while (NowMs() - start < ms) {
        if (waitpid(pid_t(pid), &status, WNOHANG) == pid) return;
        usleep(10000);
    }
    ::kill(pid_t(pid), SIGKILL);
    Reap(pid);
}

}  // namespace

std::optional<StartUp> TimeToWindow(const QString& program, const QString& titlePart,
                                    const QStringList& arguments, bool anyProcess) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return std::nullopt;
    XSetErrorHandler(IgnoreXError);
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const double start = NowMs();
    const qint64 pid = Spawn(program, arguments);
    std::optional<StartUp> result;
    Window shownWindow = 0;
    while (pid > 0 && !result && NowMs() - start < kPatienceMs) {
        if (!XPending(display)) {
            pollfd wait{ConnectionNumber(display), POLLIN, 0};
            poll(&wait, 1, 100);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != MapNotify) continue;
        const double shown = NowMs();
        const Window window = event.xmap.window;
        if (!anyProcess && WindowPid(display, window) != pid) continue;
        if (!titlePart.isEmpty() && !WindowTitle(display, window).contains(titlePart)) continue;
        result = StartUp{shown - start, PeakMemoryKb(pid)};
        shownWindow = window;
    }
    if (shownWindow != 0) CloseWindow(display, shownWindow);
    if (pid > 0) EndProcess(pid, kPatienceMs / 3);
    XCloseDisplay(display);
    return result;
}

}  // namespace Figures
