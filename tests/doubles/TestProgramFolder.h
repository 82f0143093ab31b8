#pragma once

#include <QString>
#include <QTemporaryDir>

// A fresh program folder with Org/, Name_List/ and ports/ for one test; resets G_Param and
// points its folders there. On Linux each ports/COMn links to a missing device of the
// folder's own; Windows names COMn itself.
class TestProgramFolder {
public:
    TestProgramFolder();
    QString Path() const { return m_dir.path(); }
    QString RecordFile() const;
    QString SettingsFile() const;
    QString NameListFolder() const;
    // ports/COMn: a test links its own device there in place of the missing one.
    QString ComLink(int port) const;
    static constexpr int kPorts = 16;  // the highest COMn the port accepts

private:
    QTemporaryDir m_dir;
};
