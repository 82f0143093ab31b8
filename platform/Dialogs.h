#pragma once

#include <QString>
#include <optional>

// The title every message box carries unless told otherwise.
inline const QString kDefaultDialogTitle = QStringLiteral("Hakaron");

enum class MsgIcon { None, Information, Warning };

// The answer to a question with はい, いいえ and キャンセル.
enum class Answer { Yes, No, Cancel };

// Message boxes, the Yes/No question, the input box and the save-file dialog.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual void Message(const QString& text, MsgIcon icon,
                         const QString& title = kDefaultDialogTitle) = 0;
    // Yes/No buttons, no icon. True for Yes.
    virtual bool AskYesNo(const QString& text, const QString& title = kDefaultDialogTitle) = 0;
    // As AskYesNo, for a question whose Yes destroys data: Enter and Escape answer No.
    virtual bool AskDestructive(const QString& text,
                                const QString& title = kDefaultDialogTitle) = 0;
    // Yes/No/Cancel buttons, no icon; Enter and Escape answer Cancel.
    virtual Answer AskYesNoCancel(const QString& text,
                                  const QString& title = kDefaultDialogTitle) = 0;
    // Empty optional when cancelled.
    virtual std::optional<QString> InputBox(const QString& prompt, const QString& title,
                                            const QString& defaultText) = 0;
    // Full path of the chosen file, empty optional when cancelled. The dialog asks nothing
    // about overwriting and refuses read-only files.
    virtual std::optional<QString> SaveFile(const QString& title, const QString& filter,
                                            const QString& proposedName, const QString& folder) = 0;
};
