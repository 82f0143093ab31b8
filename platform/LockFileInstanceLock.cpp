#include "LockFileInstanceLock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSysInfo>

#ifdef Q_OS_WIN
#include <windows.h>

#include <QCryptographicHash>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace {

enum class Key { Held, Taken, Unavailable };

#ifdef Q_OS_WIN

// The folder's key: a named mutex of the session, named by the folder's path.
Key LockFolder(const QString& folder, qintptr& key) {
    // A missing folder has no canonical path, and nothing to guard.
    const QString canonical = QDir(folder).canonicalPath();
    if (canonical.isEmpty()) return Key::Unavailable;
    const QByteArray id =
        QCryptographicHash::hash(canonical.toLower().toUtf8(), QCryptographicHash::Sha1).toHex();
    const QString name = QStringLiteral("Local\\Hakaron-") + QString::fromLatin1(id);
    HANDLE mutex = CreateMutexW(nullptr, FALSE, reinterpret_cast<LPCWSTR>(name.utf16()));
    if (!mutex) return Key::Unavailable;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return Key::Taken;
    }
    key = qintptr(mutex);
    return Key::Held;
}

Key LockFile(const QString& path, qintptr& key) {
    const QString native = QDir::toNativeSeparators(path);
    HANDLE file =
        CreateFileW(reinterpret_cast<LPCWSTR>(native.utf16()), GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Key::Unavailable;
    OVERLAPPED whole{};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole)) {
        const DWORD error = GetLastError();
        CloseHandle(file);
        return error == ERROR_LOCK_VIOLATION ? Key::Taken : Key::Unavailable;
    }
    key = qintptr(file);
    return Key::Held;
}

void Close(qintptr& key) {
    if (key != -1) CloseHandle(HANDLE(key));
    key = -1;
}

void WriteOwner(qintptr key, const QByteArray& text) {
    HANDLE file = HANDLE(key);
    DWORD written = 0;
    // Past the locked byte's range is no matter: the text only tells a person who holds it.
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    if (WriteFile(file, text.constData(), DWORD(text.size()), &written, nullptr))
        SetEndOfFile(file);
}

#else

// An exclusive flock without waiting; the descriptor is closed unless it is held.
Key Flock(int fd, qintptr& key) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        key = fd;
        return Key::Held;
    }
    const bool taken = errno == EWOULDBLOCK;
    ::close(fd);
    return taken ? Key::Taken : Key::Unavailable;
}

// The folder's key: a flock on a descriptor of the folder itself, which needs no new file.
Key LockFolder(const QString& folder, qintptr& key) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return Key::Unavailable;
    return Flock(fd, key);
}

// Opens the lock file without ever reading it, following a link or waiting on a FIFO: a
// non-regular file, a file with a second name (a hard link: writing the lock text would
// change that other file) or one that cannot be opened at all is removed and made anew.
int OpenLockFile(const QByteArray& path) {
    constexpr int kFlags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    for (int attempt = 0; attempt < 2; ++attempt) {
        struct stat info {};
        const bool exists = ::lstat(path.constData(), &info) == 0;
        if (exists && (!S_ISREG(info.st_mode) || info.st_nlink != 1)) {
            if (::unlink(path.constData()) != 0) return -1;  // a folder there stays
            continue;
        }
        int fd = ::open(path.constData(), O_RDWR | O_CREAT | kFlags, 0644);
        // A lock file of another user may be only readable: a flock needs no more.
        if (fd < 0 && exists) fd = ::open(path.constData(), O_RDONLY | kFlags);
        if (fd >= 0) {
            if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_nlink == 1) return fd;
            ::close(fd);  // replaced by something else meanwhile
        }
        if (!exists || ::unlink(path.constData()) != 0) return -1;
    }
    return -1;
}

Key LockFile(const QString& path, qintptr& key) {
    const int fd = OpenLockFile(QFile::encodeName(path));
    if (fd < 0) return Key::Unavailable;
    return Flock(fd, key);
}

void Close(qintptr& key) {
    if (key != -1) ::close(int(key));
    key = -1;
}

void WriteOwner(qintptr key, const QByteArray& text) {
    const int fd = int(key);
    // A full disk leaves the file empty, which still holds the lock.
    if (::ftruncate(fd, 0) == 0 && ::pwrite(fd, text.constData(), size_t(text.size()), 0) < 0)
        ::ftruncate(fd, 0);
}

#endif

}  // namespace

LockFileInstanceLock::LockFileInstanceLock(const QString& dataFolder) : m_dataFolder(dataFolder) {}

LockFileInstanceLock::~LockFileInstanceLock() {
    Release();
}

QString LockFileInstanceLock::LockPath() const {
    return QDir(m_dataFolder).absoluteFilePath(QStringLiteral("hakaron.lock"));
}

void LockFileInstanceLock::Release() {
    Close(m_fileKey);
    Close(m_folderKey);
    m_acquired = false;
}

bool LockFileInstanceLock::TryAcquire() {
    if (m_acquired) return true;
    // The folder first: while it is held, no other copy removes or replaces the lock file.
    if (LockFolder(m_dataFolder, m_folderKey) == Key::Taken ||
        LockFile(LockPath(), m_fileKey) == Key::Taken) {
        Release();
        return false;
    }
    if (m_fileKey != -1)
        WriteOwner(m_fileKey,
                   QStringLiteral("%1\n%2\n%3\n")
                       .arg(QCoreApplication::applicationPid())
                       .arg(QCoreApplication::applicationName(), QSysInfo::machineHostName())
                       .toUtf8());
    m_acquired = true;
    return true;
}

bool LockFileInstanceLock::DetectsSecondCopy() const {
    return m_folderKey != -1 || m_fileKey != -1;
}
