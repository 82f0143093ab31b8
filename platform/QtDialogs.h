#pragma once

#include "Dialogs.h"

// "description|pattern[|description|pattern...]" as the common dialog takes it, to Qt's
// "description (patterns);;...". A description that already names its patterns is kept.
QString QtFileFilter(const QString& filter);

// A save target the dialog does not accept: an existing read-only file, or a file in a
// folder that cannot be written.
bool IsRefusedSaveTarget(const QString& path);

// The real dialogs over QMessageBox, QInputDialog and QFileDialog, owned by the active
// window, else by the program's main window.
class QtDialogs : public Dialogs {
public:
    void Message(const QString& text, MsgIcon icon,
                 const QString& title = kDefaultDialogTitle) override;
    bool AskYesNo(const QString& text, const QString& title = kDefaultDialogTitle) override;
    bool AskDestructive(const QString& text, const QString& title = kDefaultDialogTitle) override;
    Answer AskYesNoCancel(const QString& text, const QString& title = kDefaultDialogTitle) override;
    std::optional<QString> InputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
    std::optional<QString> SaveFile(const QString& title, const QString& filter,
                                    const QString& proposedName, const QString& folder) override;
};
