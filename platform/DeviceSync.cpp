#include "DeviceSync.h"

#include <QFileDevice>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>

#include <QDir>
#include <QSaveFile>
#else
#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#endif

#ifdef Q_OS_WIN

bool SystemDeviceSync::SyncFile(QFileDevice& file) const {
    if (!file.flush()) return false;
    // QSaveFile::commit() flushes its temporary file itself, which has no name to open here.
    if (qobject_cast<QSaveFile*>(&file)) return true;
    if (file.handle() != -1) return FlushFileBuffers(HANDLE(_get_osfhandle(file.handle()))) != 0;
    // The system's cache is kept per file: flushing through a handle of our own writes all.
    const QString native = QDir::toNativeSeparators(file.fileName());
    HANDLE handle = CreateFileW(reinterpret_cast<LPCWSTR>(native.utf16()), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    const bool flushed = FlushFileBuffers(handle) != 0;
    CloseHandle(handle);
    return flushed;
}

bool SystemDeviceSync::SyncFolder(const QString&) const {
    return true;
}

#else

namespace {
// A file system that cannot sync (EINVAL) keeps nothing back to push.
bool Synced(int result) {
    return result == 0 || errno == EINVAL;
}
}  // namespace

bool SystemDeviceSync::SyncFile(QFileDevice& file) const {
    if (!file.flush() || file.handle() < 0) return false;
#ifdef Q_OS_LINUX
    return Synced(::fdatasync(file.handle()));
#else
    return Synced(::fsync(file.handle()));
#endif
}

bool SystemDeviceSync::SyncFolder(const QString& folder) const {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = Synced(::fsync(fd));
    ::close(fd);
    return synced;
}

#endif
