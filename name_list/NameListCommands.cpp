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
    QString typed;
    QString name;
    // A refused name is said why and asked again, the text kept for mending.
    for (;;) {
        const std::optional<QString> answer =
            dialogs.InputBox(NameListTexts::NamePrompt, NameListTexts::NameTitle, typed);
        if (!answer || answer->trimmed().isEmpty()) return;
        typed = *answer;
        // Trimmed, so that the name shown, chosen and deleted later is the file's own name.
        name = NameListFile::BaseName(typed);
        // ".nml" alone names no list: it is refused as the hidden name it would be.
        const QString problem =
            NameListFile::FileNameProblem(name.isEmpty() ? typed.trimmed() : name);
        if (problem.isEmpty()) break;
        dialogs.Message(problem, MsgIcon::Warning);
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
