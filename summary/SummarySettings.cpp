#include "SummarySettings.h"

#include <QDir>
#include <QSettings>

namespace {

const QString kGroup = QStringLiteral("Summary");

// The first item whose caption holds one of the words and names nobody, else 0.
int ItemCaptioned(const QStringList& captions, const QStringList& words) {
    for (int i = 0; i < captions.size(); ++i) {
        if (captions[i].contains(u'名')) continue;  // 氏名, 名前, ふりがな名
        for (const QString& word : words)
            if (captions[i].contains(word)) return i + 1;
    }
    return 0;
}

int Item(const QSettings& settings, const QString& key, int fallback) {
    const int item = settings.value(key, fallback).toInt();
    return item >= 0 && item <= 3 ? item : fallback;
}

}  // namespace

namespace SummarySettings {

SummaryChoice Guess(const QStringList& captions) {
    SummaryChoice choice;
    choice.SexItem = ItemCaptioned(captions, {QStringLiteral("性別"), QStringLiteral("男女")});
    choice.AgeItem = ItemCaptioned(captions, {QStringLiteral("年齢")});
    const int grade = ItemCaptioned(captions, {QStringLiteral("学年")});
    const int group = ItemCaptioned(captions, {QStringLiteral("組"), QStringLiteral("クラス")});
    choice.GradeItem = grade != 0 ? grade : group;
    choice.GroupItem = group != 0 ? group : grade;
    if (choice.AgeItem != 0)
        choice.Source = AgeSource::AgeItem;
    else if (choice.GradeItem == 0)
        choice.Source = AgeSource::WholeSet;
    return choice;
}

QString IniPath(const QString& workFolder) {
    return QDir(workFolder).filePath(QStringLiteral("hakaron.ini"));
}

SummaryChoice Load(const QString& iniPath, const QStringList& captions) {
    QSettings settings(iniPath, QSettings::IniFormat);
    settings.beginGroup(kGroup);
    if (!settings.contains(QStringLiteral("SexItem"))) return Guess(captions);
    SummaryChoice choice;
    choice.SexItem = Item(settings, QStringLiteral("SexItem"), 0);
    const int source = settings.value(QStringLiteral("AgeSource"), 1).toInt();
    choice.Source = source >= 0 && source <= 2 ? AgeSource(source) : AgeSource::GradeItem;
    choice.AgeItem = Item(settings, QStringLiteral("AgeItem"), 0);
    choice.GradeItem = Item(settings, QStringLiteral("GradeItem"), 0);
    const int school = settings.value(QStringLiteral("School"), 0).toInt();
    choice.GradeSchool =
        school >= 0 && school <= int(School::Secondary) ? School(school) : School::None;
    choice.Age = qBound(5, settings.value(QStringLiteral("Age"), 10).toInt(), 17);
    choice.GroupItem = Item(settings, QStringLiteral("GroupItem"), 0);
    return choice;
}

bool Store(const QString& iniPath, const SummaryChoice& choice) {
    QSettings settings(iniPath, QSettings::IniFormat);
    settings.beginGroup(kGroup);
    settings.setValue(QStringLiteral("SexItem"), choice.SexItem);
    settings.setValue(QStringLiteral("AgeSource"), static_cast<int>(choice.Source));
    settings.setValue(QStringLiteral("AgeItem"), choice.AgeItem);
    settings.setValue(QStringLiteral("GradeItem"), choice.GradeItem);
    settings.setValue(QStringLiteral("School"), static_cast<int>(choice.GradeSchool));
    settings.setValue(QStringLiteral("Age"), choice.Age);
    settings.setValue(QStringLiteral("GroupItem"), choice.GroupItem);
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

}  // namespace SummarySettings

namespace SummarySettings {

ReportSettings LoadReport(const QString& iniPath) {
    QSettings settings(iniPath, QSettings::IniFormat);
    settings.beginGroup(kGroup);
    ReportSettings report;
    report.SchoolName = settings.value(QStringLiteral("SchoolName")).toString();
    report.PagePerGroup = settings.value(QStringLiteral("PagePerGroup"), false).toBool();
    return report;
}

bool StoreReport(const QString& iniPath, const ReportSettings& report) {
    QSettings settings(iniPath, QSettings::IniFormat);
    settings.beginGroup(kGroup);
    settings.setValue(QStringLiteral("SchoolName"), report.SchoolName);
    settings.setValue(QStringLiteral("PagePerGroup"), report.PagePerGroup);
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

}  // namespace SummarySettings
