#include "SummarySettings.h"

#include <QDir>
#include <QSettings>

namespace {

const QString kGroup = QStringLiteral("Summary");

// The first item whose caption holds one of the words, else 0.
int ItemCaptioned(const QStringList& captions, const QStringList& words) {
    for (int i = 0; i < captions.size(); ++i)
        for (const QString& word : words)
            if (captions[i].contains(word)) return i + 1;
    return 0;
}

SummaryChoice Guess(const QStringList& captions) {
    SummaryChoice choice;
    choice.SexItem = ItemCaptioned(captions, {QStringLiteral("性"), QStringLiteral("男女")});
    choice.AgeItem = ItemCaptioned(captions, {QStringLiteral("年齢")});
    choice.GradeItem = ItemCaptioned(captions, {QStringLiteral("学年"), QStringLiteral("年")});
    choice.GroupItem = ItemCaptioned(captions, {QStringLiteral("組"), QStringLiteral("クラス")});
    if (choice.AgeItem != 0)
        choice.Source = AgeSource::AgeItem;
    else if (choice.GradeItem == 0)
        choice.Source = AgeSource::WholeSet;
    return choice;
}

int Item(const QSettings& settings, const QString& key, int fallback) {
    const int item = settings.value(key, fallback).toInt();
    return item >= 0 && item <= 3 ? item : fallback;
}

}  // namespace

namespace SummarySettings {

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
    choice.GradeSchool = school >= 0 && school <= 3 ? School(school) : School::None;
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
