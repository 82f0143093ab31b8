#pragma once

#include <QString>

// Texts of the name-list windows that several places use.
namespace NameListTexts {
inline const QString NoMoreEntries = QStringLiteral("これ以上登録できません");
inline const QString SelectFile = QStringLiteral("ファイルを選択して下さい");
inline const QString UnsavedQuestion = QStringLiteral("未保存のデータがあります\r\n保存しますか？");
inline const QString AskDiscardAll =
    QStringLiteral("編集中のデータが全て消去されますが、よろしいですか？");
inline const QString AskReally = QStringLiteral("本当によろしいですか？");
inline const QString Loaded = QStringLiteral("ロードしました");
inline const QString Deleted = QStringLiteral("消去しました");
inline const QString AskOverwrite =
    QStringLiteral("同名のファイルが存在します\r\n以前のデータを消去して上書きしますか？");
inline const QString NamePrompt = QStringLiteral("名簿に名前を付けて下さい");
inline const QString NameTitle = QStringLiteral("新規ファイル名");
inline const QString FolderMissing = QStringLiteral(
    "名簿のフォルダ「Name_List」が見つかりません\r\n"
    "プログラムと同じ場所に作成して下さい");
inline const QString SetKept = QStringLiteral("編集中のデータはそのままです");

inline QString Saved(const QString& file) {
    return file + QStringLiteral("に保存しました");
}
inline QString NotSaved(const QString& file) {
    return file + QStringLiteral("に保存できませんでした\r\n名簿はまだ閉じていません");
}
// `why` is a second line, when there is one.
inline QString NotRead(const QString& file, const QString& why = QString()) {
    return file + QStringLiteral("を読み込めませんでした") +
           (why.isEmpty() ? QString() : QStringLiteral("\r\n") + why);
}
}  // namespace NameListTexts
