#pragma once

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

// Makes every write that would grow a file past `bytes` fail, as a full disk does (also for
// root), until it goes out of scope. SIGXFSZ is ignored so that the write fails with EFBIG
// instead of ending the process.
class FileSizeLimit {
public:
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
