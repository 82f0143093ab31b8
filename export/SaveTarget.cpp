#include "SaveTarget.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QList>

#include "ExportTexts.h"
#include "FileIdentity.h"
#include "G_Const.h"
#include "G_Param.h"

namespace {

// The path a chain of links ends at; the path itself when it is none. A link to nothing still
// leads somewhere: a save would create that file.
QString EndOfLinks(const QString& path) {
    QFileInfo info(path);
    for (int hops = 0; info.isSymLink() && hops < 40; ++hops)
        info.setFile(QDir(info.absolutePath()).absoluteFilePath(info.symLinkTarget()));
    return info.absoluteFilePath();
}

bool IsOneOf(const FileIdentity& identity, const QList<FileIdentity>& others) {
    for (const FileIdentity& other : others)
        if (identity.SameAs(other)) return true;
    return false;
}

}  // namespace

namespace SaveTarget {

Problem Check(const QString& target, const QString& appFolder, const QString& program) {
    const QString end = EndOfLinks(target);
    const FileIdentity identity = IdentityOf(end);
    if (identity.Type == FileIdentity::Kind::Folder) return Problem::Folder;
    if (identity.Type == FileIdentity::Kind::Other) return Problem::NotAFile;
    const FileIdentity folder = IdentityOf(QFileInfo(end).absolutePath());
    if (folder.Type != FileIdentity::Kind::Folder) return Problem::NoFolder;

    QList<FileIdentity> ownFolders;
    QList<FileIdentity> ownFiles{IdentityOf(program)};
    const QDir app(appFolder);
    for (const QString& name :
         {G_Const::WorkFolderName, G_Const::NameListFolderName, QStringLiteral("ports")}) {
        ownFolders << IdentityOf(app.filePath(name));
        // Every file the program keeps, by any name it may have elsewhere (a hard link).
        if (identity.Type == FileIdentity::Kind::Regular)
            for (const QFileInfo& file : QDir(app.filePath(name))
                                             .entryInfoList(QDir::Files | QDir::Hidden |
                                                            QDir::System | QDir::NoDotAndDotDot))
                ownFiles << IdentityOf(file.absoluteFilePath());
    }
    if (IsOneOf(folder, ownFolders) || IsOneOf(identity, ownFiles)) return Problem::ProgramFile;
    return Problem::None;
}

Problem Check(const QString& target) {
    const QString appFolder =
        G_Param.AppFolder.isEmpty() ? QCoreApplication::applicationDirPath() : G_Param.AppFolder;
    return Check(target, appFolder, QCoreApplication::applicationFilePath());
}

QString Reason(Problem problem) {
    switch (problem) {
        case Problem::None:
            return {};
        case Problem::ProgramFile:
            return ExportTexts::ProgramFile;
        case Problem::Folder:
            return QStringLiteral("同じ名前のフォルダがあります");
        case Problem::NotAFile:
            return QStringLiteral("ファイルでないもの（装置など）には保存できません");
        case Problem::NoFolder:
            return QStringLiteral("保存先のフォルダがありません");
    }
    return {};
}

QString CommandLineReason(Problem problem, const QString& target) {
    switch (problem) {
        case Problem::None:
            return {};
        case Problem::ProgramFile:
            return QStringLiteral("%1 is a file of the program; it is never replaced").arg(target);
        case Problem::Folder:
            return QStringLiteral("%1 is a folder").arg(target);
        case Problem::NotAFile:
            return QStringLiteral("%1 is not a regular file (a device, a pipe or a socket)")
                .arg(target);
        case Problem::NoFolder:
            return QStringLiteral("the folder of %1 does not exist").arg(target);
    }
    return {};
}

}  // namespace SaveTarget
