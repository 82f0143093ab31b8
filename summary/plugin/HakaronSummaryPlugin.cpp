#include <QObject>

#include "G_Param.h"
#include "SummaryCommand.h"
#include "SummaryPlugin.h"
#include "frmSummary.h"

// The entry of the summary library: the program asks for it by its interface.
class HakaronSummaryPlugin : public QObject, public SummaryPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID HakaronSummaryPlugin_iid)
    Q_INTERFACES(SummaryPlugin)
public:
    void ShowSummary(Dialogs& dialogs, const QString& appFolder, QWidget* parent) override {
        G_Param.SetFolders(appFolder);
        frmSummary dialog(dialogs, G_Param.WorkFolder, parent);
        dialog.exec();
    }
    QString SaveFromProgramFolder(const QString& appFolder, const CommandLine& command) override {
        G_Param.SetFolders(appFolder);
        return SaveSummaryFromProgramFolder(appFolder, command);
    }
};

#include "HakaronSummaryPlugin.moc"
