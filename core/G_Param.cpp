#include "G_Param.h"

#include "G_Const.h"

void GlobalParams::SetFolders(const QString& appFolder) {
    AppFolder = appFolder;
    NameListFolder = appFolder + u'/' + G_Const::NameListFolderName + u'/';
    WorkFolder = appFolder + u'/' + G_Const::WorkFolderName + u'/';
}

QString GlobalParams::RecordFilePath() const {
    return WorkFolder + G_Const::RecordFileName;
}

QString GlobalParams::SettingsFilePath() const {
    return WorkFolder + G_Const::SettingsFileName;
}
