#pragma once

#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <optional>

#include "Dialogs.h"
#include "LiveDisplay.h"
#include "MainWindowHooks.h"
#include "MeasureRecord.h"
#include "NameListFile.h"

// A display and dialogs that record nothing, so that a benchmark times the program's own
// work and not a window's.
class SilentDisplay : public LiveDisplay, public DisplayControl {
public:
    void PrintLine(const QString&) override {}
    void ClearPrint() override {}
    void ShowBmiResult(const QString&) override {}
    void RefreshDisplay() override {}
    void ArmAutoWrite(int, bool) override {}
    void ShowLinkStatus(const QString&, const QString&) override {}
    void ShowLinkNotice(const QString&) override {}
    void LinkBack() override {}
    void ApplyModeLayout() override {}
};

class SilentDialogs : public Dialogs {
public:
    void Message(const QString&, MsgIcon, const QString&) override {}
    bool AskYesNo(const QString&, const QString&) override { return false; }
    bool AskDestructive(const QString&, const QString&) override { return false; }
    Answer AskYesNoCancel(const QString&, const QString&) override { return Answer::Cancel; }
    std::optional<QString> InputBox(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> SaveFile(const QString&, const QString&, const QString&,
                                    const QString&) override {
        return std::nullopt;
    }
};

// A program folder (Org/, Name_List/) in a temporary directory; G_Param points at it.
class BenchFolder {
public:
    BenchFolder();
    QString File(const QString& name) const { return m_dir.filePath(name); }
    // Writes a full measuring day (BenchData::MeasurementSet) as the record file.
    bool WriteFullSet() const;

private:
    QTemporaryDir m_dir;
};

namespace BenchData {
constexpr int FullSet = 1500;
// Person k of a full day: Japanese labels and every value filled, as the meter leaves them.
MeasureRecord Person(int k);
// Two header records, then `count` people.
QList<MeasureRecord> MeasurementSet(int count);
QList<NameListEntry> NameList(int count);
}  // namespace BenchData
