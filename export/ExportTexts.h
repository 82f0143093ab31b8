#pragma once

#include <QString>
#include <QStringList>

// Captions and messages of the CSV save and the edited-data list.
namespace ExportTexts {
inline const QString SaveTitle = QStringLiteral("CSV形式で保存する");
inline const QString CsvFilter = QStringLiteral("CSVファイル (*.csv)|*.csv");
inline const QString Working = QStringLiteral("作業中です");
inline const QString Stopping = QStringLiteral("中止します");
inline const QString Saved = QStringLiteral("保存しました");
inline const QString AskOverwrite =
    QStringLiteral("同名のファイルが存在します\r\n以前のデータを消去して上書きしますか？");
inline const QString NotSaved =
    QStringLiteral("ファイルは保存されませんでした\r\nファイル名は正しいですか？");
// The third line of NotSaved, or the reason under CantSaveHere.
inline const QString ProgramFile = QStringLiteral("プログラムのデータファイルには保存できません");
inline const QString NoMeasurementSet =
    QStringLiteral("測定データのファイル（Org/zqmtemp.rdm）がありません");
inline const QString CantSaveHere = QStringLiteral("この場所には保存できません");
// Headings of the nine value columns, in column order: height, weight, BMI, sitting height,
// then the derived values.
inline const QStringList ValueHeadings{QStringLiteral("身長[cm]"),
                                       QStringLiteral("体重[kg]"),
                                       QStringLiteral("BMI値"),
                                       QStringLiteral("座高[cm]"),
                                       QStringLiteral("BMI適正体重[kg]"),
                                       QStringLiteral("日比式適正体重(男性)[kg]"),
                                       QStringLiteral("日比式適正体重(女性)[kg]"),
                                       QStringLiteral("日比式肥満度(男性)[%]"),
                                       QStringLiteral("日比式肥満度(女性)[%]")};
}  // namespace ExportTexts
