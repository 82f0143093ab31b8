#include "FileResult.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

QString FileResult::Message() const {
    return QStringLiteral(
               "ファイルに書き込めませんでした。データは保存されていません。\n%1\n理由: %2")
        .arg(QDir::toNativeSeparators(Path), Reason);
}

namespace FileWrite {

QString ReasonFor(const QString& path, const QString& systemText) {
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    QString reason;
    if (!folder.isDir())
        reason = QStringLiteral("保存先のフォルダがありません");
    else if (file.exists() && !file.isFile())
        reason = QStringLiteral("同じ名前のフォルダなど、ファイルでないものがあります");
    else if (file.exists() && !file.isWritable())
        reason = QStringLiteral("ファイルが読み取り専用です");
    else if (!file.exists() && !folder.isWritable())
        reason = QStringLiteral("フォルダに書き込む権限がありません");
    else
        reason = QStringLiteral("ディスクの空き容量が足りないか、書き込みが拒否されました");
    return systemText.isEmpty() ? reason : QStringLiteral("%1（%2）").arg(reason, systemText);
}

bool CommitDurably(QSaveFile& file, const DeviceSync& sync) {
    if (!sync.SyncFile(file)) {
        file.cancelWriting();
        return false;
    }
    return file.commit() && sync.SyncFolder(QFileInfo(file.fileName()).absolutePath());
}

FileResult ReplaceContents(const QString& path, const QByteArray& bytes, const DeviceSync& sync) {
    if (QFileInfo(path).isDir()) return FileResult::Failure(path, ReasonFor(path, QString()));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return FileResult::Failure(path, ReasonFor(path, file.errorString()));
    // QSaveFile::commit() has been seen to succeed after a failed write on a full disk, and
    // to rename a short file over the old one: every step is checked before committing.
    const bool written = file.write(bytes) == bytes.size() && file.flush() &&
                         file.error() == QFileDevice::NoError && file.size() == bytes.size();
    if (!written) {
        const QString systemText = file.errorString();
        file.cancelWriting();
        return FileResult::Failure(path, ReasonFor(path, systemText));
    }
    if (!CommitDurably(file, sync))
        return FileResult::Failure(path, ReasonFor(path, file.errorString()));
    return FileResult::Success();
}

}  // namespace FileWrite
