#include "FileIdentity.h"

#ifdef Q_OS_WIN
#include <windows.h>

#include <QDir>

FileIdentity IdentityOf(const QString& path) {
    FileIdentity identity;
    const QString native = QDir::toNativeSeparators(path);
    // No access asked for: the attributes and the index only. Folders need backup semantics.
    HANDLE handle = CreateFileW(reinterpret_cast<LPCWSTR>(native.utf16()), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return identity;
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileInformationByHandle(handle, &info)) {
        identity.Volume = info.dwVolumeSerialNumber;
        identity.File = (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
        identity.Type = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                            ? FileIdentity::Kind::Folder
                        : GetFileType(handle) == FILE_TYPE_DISK ? FileIdentity::Kind::Regular
                                                                : FileIdentity::Kind::Other;
    } else {
        identity.Type = FileIdentity::Kind::Other;  // NUL, CON, a pipe: no index to give
    }
    CloseHandle(handle);
    return identity;
}

#else
#include <sys/stat.h>

#include <QFile>

FileIdentity IdentityOf(const QString& path) {
    FileIdentity identity;
    struct stat info {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0) return identity;
    identity.Volume = quint64(info.st_dev);
    identity.File = quint64(info.st_ino);
    identity.Type = S_ISREG(info.st_mode)   ? FileIdentity::Kind::Regular
                    : S_ISDIR(info.st_mode) ? FileIdentity::Kind::Folder
                                            : FileIdentity::Kind::Other;
    return identity;
}

#endif
