#pragma once

#include <QString>
#include <QTemporaryDir>

// A fresh program folder with Org/ and Name_List/ for one test; resets G_Param and points
// its folders there.
class TestProgramFolder {
public:
    TestProgramFolder();
    QString Path() const { return m_dir.path(); }
    QString RecordFile() const;
    QString SettingsFile() const;
    QString NameListFolder() const;

private:
    QTemporaryDir m_dir;
};
