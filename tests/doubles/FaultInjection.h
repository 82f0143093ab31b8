#pragma once

#include <QtGlobal>

#ifdef Q_OS_WIN

// Windows has no per-process limit on file size: the full-disk cases skip there (Works).
class FileSizeLimit {
public:
    static constexpr bool Works = false;
    explicit FileSizeLimit(qint64) {}
};

// Wine runs as the Linux user; its read-only files are no bar for root.
inline bool PermissionsHold() {
    return false;
}

#else

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

// Makes every write that would grow a file past `bytes` fail, as a full disk does (also for
// root), until it goes out of scope. SIGXFSZ is ignored so that the write fails with EFBIG
// instead of ending the process.
class FileSizeLimit {
public:
    static constexpr bool Works = true;
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

// Whether this user is held back by file permissions (root is not).
inline bool PermissionsHold() {
    return geteuid() != 0;
}

#endif
