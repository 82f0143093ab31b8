#include "SummaryCommand.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include "CommandLine.h"
#include "G_Param.h"
#include "RecordFile.h"
#include "SaveTarget.h"
#include "SummaryReport.h"
#include "SummarySettings.h"

namespace {

// Refusals as the CSV save gives them: a file of the program, a folder, a device, a missing
// folder or a read-only file as the target.
QString TargetProblem(const QString& target, const QString& appFolder) {
    const SaveTarget::Problem problem =
        SaveTarget::Check(target, appFolder, QCoreApplication::applicationFilePath());
    if (problem != SaveTarget::Problem::None) return SaveTarget::CommandLineReason(problem, target);
    const QFileInfo info(target);
    if (info.exists() && !info.isWritable()) return QStringLiteral("%1 is read-only").arg(target);
    return {};
}

// A set that cannot be read is a failure, never an empty report.
QString RecordFileProblem(const QString& recordFile) {
    const QFileInfo info(recordFile);
    if (!info.exists())
        return QStringLiteral("no measurement set: %1 does not exist").arg(recordFile);
    if (!info.isFile()) return QStringLiteral("%1 is not a file").arg(recordFile);
    QFile file(recordFile);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("%1 cannot be read: %2").arg(recordFile, file.errorString());
    return {};
}

QString Failure(const FileResult& result) {
    return result ? QString() : QStringLiteral("%1: %2").arg(result.Path, result.Reason);
}

}  // namespace

SummaryChoice CommandLineChoice(const CommandLine& command, const QString& iniPath,
                                const QStringList& captions) {
    SummaryChoice choice = SummarySettings::Load(iniPath, captions);
    if (command.SexItem) choice.SexItem = *command.SexItem;
    if (command.GroupItem) choice.GroupItem = *command.GroupItem;
    if (command.AgeItem) {
        choice.Source = AgeSource::AgeItem;
        choice.AgeItem = *command.AgeItem;
    }
    if (command.GradeItem) {
        choice.Source = AgeSource::GradeItem;
        choice.GradeItem = *command.GradeItem;
        choice.GradeSchool = command.School == u"小"     ? School::Elementary
                             : command.School == u"中"   ? School::Junior
                             : command.School == u"高"   ? School::Senior
                             : command.School == u"義務" ? School::Compulsory
                             : command.School == u"中等" ? School::Secondary
                                                         : School::None;
    }
    if (command.Age) {
        choice.Source = AgeSource::WholeSet;
        choice.Age = *command.Age;
    }
    return choice;
}

QString SaveSummaryFromProgramFolder(const QString& appFolder, const CommandLine& command) {
    GlobalParams folders;
    folders.SetFolders(appFolder);
    const QString recordFile = folders.RecordFilePath();
    if (const QString problem = RecordFileProblem(recordFile); !problem.isEmpty()) return problem;
    // Every target is checked before any is written.
    for (const QString& target : {command.SaveReport, command.SaveJudgement, command.SaveLetters})
        if (const QString problem = target.isEmpty() ? QString() : TargetProblem(target, appFolder);
            !problem.isEmpty())
            return problem;
    const QList<MeasureRecord> records = RecordFile::ReadAll(recordFile);
    const QStringList captions = Summarize(records.mid(0, 2), SummaryChoice{}).Captions;
    const SummaryChoice choice =
        CommandLineChoice(command, SummarySettings::IniPath(folders.WorkFolder), captions);
    const ClassSummary summary = Summarize(records, choice);
    if (!command.SaveJudgement.isEmpty()) {
        const QString error =
            Failure(FileWrite::ReplaceContents(command.SaveJudgement, JudgementCsv::File(summary)));
        if (!error.isEmpty()) return error;
    }
    const QString ini = SummarySettings::IniPath(folders.WorkFolder);
    const SummarySettings::ReportSettings report = SummarySettings::LoadReport(ini);
    ReportOptions options;
    options.SchoolName = report.SchoolName;
    options.PagePerGroup = report.PagePerGroup;
    if (!command.SaveReport.isEmpty()) {
        const QString error = Failure(WriteReportPdf(command.SaveReport, summary, options));
        if (!error.isEmpty()) return error;
    }
    if (!command.SaveLetters.isEmpty() && DefaultLetterPupils(summary).isEmpty())
        return QStringLiteral("no pupil is at 20 % and over or -20 % and under: %1 not written")
            .arg(command.SaveLetters);
    if (!command.SaveLetters.isEmpty())
        return Failure(WriteLettersPdf(command.SaveLetters, summary, DefaultLetterPupils(summary),
                                       options,
                                       LoadLetterText(LetterTextPath(folders.WorkFolder))));
    return {};
}
