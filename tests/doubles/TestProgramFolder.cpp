#include "TestProgramFolder.h"

#include <QDir>

#include "G_Param.h"

TestProgramFolder::TestProgramFolder() {
    QDir(m_dir.path()).mkpath(QStringLiteral("Org"));
    QDir(m_dir.path()).mkpath(QStringLiteral("Name_List"));
    G_Param = GlobalParams{};
    G_Param.SetFolders(m_dir.path());
}

QString TestProgramFolder::RecordFile() const { return G_Param.RecordFilePath(); }
QString TestProgramFolder::SettingsFile() const { return G_Param.SettingsFilePath(); }
QString TestProgramFolder::NameListFolder() const { return G_Param.NameListFolder; }
