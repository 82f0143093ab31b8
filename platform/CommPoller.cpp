#include "CommPoller.h"

#include <QSerialPort>
#include <utility>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {
constexpr int kPollMs = 10;
}

bool CommPoller::Needed() {
#ifdef Q_OS_WIN
    static const bool wine = [] {
        const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
    }();
    return wine;
#else
    return false;
#endif
}

CommPoller::CommPoller(QSerialPort* port, QObject* parent) : QObject(parent), m_port(port) {
    m_timer.setInterval(kPollMs);
    connect(&m_timer, &QTimer::timeout, this, &CommPoller::Poll);
    connect(m_port, &QSerialPort::aboutToClose, &m_timer, &QTimer::stop);
}

void CommPoller::Start() {
    m_bytes.clear();
    if (m_port->isOpen()) m_timer.start();
}

QByteArray CommPoller::Take() {
    return std::exchange(m_bytes, {});
}

void CommPoller::Poll() {
#ifdef Q_OS_WIN
    if (!m_port->isOpen()) {
        m_timer.stop();
        return;
    }
    const HANDLE handle = HANDLE(m_port->handle());
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(handle, &errors, &status)) {
        m_timer.stop();
        emit DeviceFailed();
        return;
    }
    if (status.cbInQue == 0) return;
    // The handle is opened for overlapped use; the bytes are already waiting, so the read
    // completes at once.
    QByteArray chunk(qsizetype(status.cbInQue), Qt::Uninitialized);
    OVERLAPPED overlapped{};
    overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!overlapped.hEvent) return;
    DWORD read = 0;
    bool ok = ReadFile(handle, chunk.data(), DWORD(chunk.size()), nullptr, &overlapped) ||
              GetLastError() == ERROR_IO_PENDING;
    ok = ok && GetOverlappedResult(handle, &overlapped, &read, TRUE);
    CloseHandle(overlapped.hEvent);
    if (!ok) {
        m_timer.stop();
        emit DeviceFailed();
        return;
    }
    if (read == 0) return;
    chunk.truncate(qsizetype(read));
    m_bytes += chunk;
    emit BytesArrived();
#endif
}
