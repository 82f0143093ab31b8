#pragma once

#include <QString>

// Texts several settings dialogs share.
namespace SettingsTexts {

inline QString UnsavedQuestion() {
    return QStringLiteral("未保存のデータがあります\r\n保存しますか？");
}

}  // namespace SettingsTexts
