#include "TestProgramFolder.h"

#include <QDir>
#include <QFile>

#include "G_Param.h"

TestProgramFolder::TestProgramFolder() {
    QDir(m_dir.path()).mkpath(QStringLiteral("Org"));
    QDir(m_dir.path()).mkpath(QStringLiteral("Name_List"));
    // Every COMn the program may be set to is a device of this folder's own (none until a test
    // links one), never the machine's /dev/ttyS(n-1): the first of those is often its console.
    QDir(m_dir.path()).mkpath(QStringLiteral("ports"));
#ifndef Q_OS_WIN
    // Windows names COMn itself (the test prefix leads them to its own devices); there a link
    // would be a shell shortcut, made through COM at a quarter of a second each under Wine.
    for (int port = 1; port <= kPorts; ++port)
        QFile::link(m_dir.filePath(QStringLiteral("ports/none")), ComLink(port));
#endif
    G_Param = GlobalParams{};
    G_Param.SetFolders(m_dir.path());
}

QString TestProgramFolder::RecordFile() const {
    return G_Param.RecordFilePath();
}
QString TestProgramFolder::SettingsFile() const {
    return G_Param.SettingsFilePath();
}
QString TestProgramFolder::NameListFolder() const {
    return G_Param.NameListFolder;
}
QString TestProgramFolder::ComLink(int port) const {
    return m_dir.filePath(QStringLiteral("ports/COM%1").arg(port));
}
