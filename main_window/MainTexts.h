#pragma once

#include <QString>

// Texts of the main window that several places use.
namespace MainTexts {
inline const QString TitleCaption = QStringLiteral("タイトル ： ");
inline const QString DateCaption = QStringLiteral("日　　付 ： ");
inline const QString PersonCaption = QStringLiteral(" 担当者　： ");
inline const QString AutoWriteMark = QStringLiteral("～自動書き込みモード～");
inline const QString NoValue = QStringLiteral("--");
inline const QString HeaderHint = QStringLiteral("ダブルクリックで設定画面にジャンプ");
inline const QString AskDiscardAll =
    QStringLiteral("編集中のデータが全て消去されますが、よろしいですか？");
inline const QString AskReally = QStringLiteral("本当によろしいですか？");
inline const QString OutOfRange = QStringLiteral("範囲内の数字を入れてください");
inline const QString NoMoreRecords = QStringLiteral("これ以上登録できません");
inline const QString BackToFirst = QStringLiteral("No.1に戻ります");
inline const QString NewFileDone = QStringLiteral("新規ファイルです");
inline const QString AlreadyRunning =
    QStringLiteral("Hakaron(for Windows)\r\nはすでに起動されています。");
inline const QString AskSaveUnsaved = QStringLiteral("未保存のデータがあります\r\n保存しますか？");
inline QString AskClear(int number) {
    return QStringLiteral("No.%1の測定値と項目を消去しますか？").arg(number);
}
// The next number could not be made: the first line tells that `saved` (when not 0) is written.
inline QString NextNotPrepared(int saved) {
    return (saved > 0 ? QStringLiteral("No.%1は保存しました。\r\n").arg(saved) : QString()) +
           QStringLiteral("ディスクの空きが足りないため、次のナンバーを用意できませんでした。\r\n");
}
inline const QString SecondCopyUndetected = QStringLiteral(
    "このフォルダでHakaronがすでに起動されているかを確かめられません。\r\n"
    "同じフォルダのHakaronを二つ同時に起動しないでください。");
inline QString AskOverwrite(int number) {
    return QStringLiteral("No.%1 には測定値があります。上書きしますか？").arg(number);
}
}  // namespace MainTexts
