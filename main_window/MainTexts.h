#pragma once

#include <QDir>
#include <QString>

#include "FileResult.h"
#include "G_Const.h"

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
// After the constants it is made of, in every file that includes this one.
inline const QString AlreadyRunning =
    G_Const::ProductName + G_Const::ForSystem + QStringLiteral("\r\nはすでに起動されています。");
inline QString AskClear(int number) {
    return QStringLiteral("No.%1の測定値と項目を消去しますか？").arg(number);
}
// The next number could not be made: the first line tells that `saved` (when not 0) is written;
// one message, with the system's reason.
inline QString NextNotPrepared(int saved, const FileResult& made) {
    return (saved > 0 ? QStringLiteral("No.%1は保存しました。\r\n").arg(saved) : QString()) +
           QStringLiteral(
               "ディスクの空きが足りないため、次のナンバーを用意できませんでした。\r\n") +
           QDir::toNativeSeparators(made.Path) + QStringLiteral("\r\n理由: ") + made.Reason;
}
// A failed write stays on display; the readings after it wait until it is written or dropped.
inline QString ReadingsWaitForFailedWrite(int waiting) {
    return QStringLiteral(
               "書き込めなかった測定値を表示しています（Ctrl+Sでもう一度）。"
               "後の測定値 %1 件は待っています")
        .arg(waiting);
}
inline const QString JournalNotWritten =
    QStringLiteral("受信履歴に書き込めません。測定は続けられます。理由: ");
inline const QString SecondCopyUndetected = QStringLiteral(
    "このフォルダでHakaronがすでに起動されているかを確かめられません。\r\n"
    "同じフォルダのHakaronを二つ同時に起動しないでください。");
}  // namespace MainTexts
