#include "NameListCommands.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "Dialogs.h"
#include "G_Param.h"
#include "NameListFile.h"
#include "NameListTexts.h"
#include "frmNameList.h"

namespace {

bool FolderReady(Dialogs& dialogs) {
    if (QFileInfo(G_Param.NameListFolder).isDir()) return true;
    dialogs.Message(NameListTexts::FolderMissing, MsgIcon::Warning);
    return false;
}

}  // namespace

namespace NameListCommands {

void NewNameList(Dialogs& dialogs, QWidget* parent) {
    if (!FolderReady(dialogs)) return;
    G_Param.ChosenPath.clear();
    const std::optional<QString> answer =
        dialogs.InputBox(NameListTexts::NamePrompt, NameListTexts::NameTitle, QString());
    // Trimmed, so that the name shown, chosen and deleted later is the file's own name.
    const QString name = answer ? answer->trimmed() : QString();
    if (name.isEmpty()) return;
    const QString problem = NameListFile::FileNameProblem(name);
    if (!problem.isEmpty()) {
        dialogs.Message(problem, MsgIcon::Warning);
        return;
    }
    G_Param.ChosenFileName = name + QStringLiteral(".nml");
    G_Param.ChosenPath = G_Param.NameListFolder + G_Param.ChosenFileName;
    if (QFileInfo::exists(G_Param.ChosenPath) &&
        !dialogs.AskDestructive(NameListTexts::AskOverwrite))
        return;
    if (!CreateNameListFile(G_Param.ChosenPath)) {
        dialogs.Message(G_Param.ChosenFileName + QStringLiteral("を作成できませんでした"),
                        MsgIcon::Warning);
        return;
    }
    OpenEditor(dialogs, parent);
}

void ChooseNameList(NameCallPurpose purpose, Dialogs& dialogs, DisplayControl& display,
                    QWidget* parent) {
    if (!FolderReady(dialogs)) return;
    bool openEditor = false;
    {
        frmNameCall chooser(purpose, dialogs, display, parent);
        chooser.exec();
        openEditor = chooser.EditorRequested();
    }
    if (!openEditor) return;
    QCoreApplication::processEvents();  // the chooser is gone from the screen first
    OpenEditor(dialogs, parent);
}

void OpenEditor(Dialogs& dialogs, QWidget* parent) {
    frmNameList editor(dialogs, parent);
    if (editor.Loaded()) editor.exec();
}

}  // namespace NameListCommands
