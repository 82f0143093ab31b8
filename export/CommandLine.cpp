#include "CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include "CsvWriter.h"
#include "G_Const.h"
#include "G_Param.h"
#include "SaveTarget.h"

namespace {
const QString kSaveCsv = QStringLiteral("save-csv");

// Options that QGuiApplication and QApplication take for themselves (a session manager
// restarts the program with -session, a user may add -platform or -style): they are left
// in argv for Qt, and only the rest is Hakaron's to accept or refuse.
bool IsQtOption(const QString& argument, bool* takesValue) {
    static const QStringList kWithValue{
        QStringLiteral("platform"),        QStringLiteral("platformpluginpath"),
        QStringLiteral("platformtheme"),   QStringLiteral("plugin"),
        QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowicon"),
        QStringLiteral("qwindowtitle"),    QStringLiteral("session"),
        QStringLiteral("display"),         QStringLiteral("geometry"),
        QStringLiteral("style"),           QStringLiteral("stylesheet"),
        QStringLiteral("title"),           QStringLiteral("name"),
        QStringLiteral("visual"),          QStringLiteral("qmljsdebugger")};
    static const QStringList kFlags{QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                                    QStringLiteral("nograb"),  QStringLiteral("dograb"),
                                    QStringLiteral("sync"),    QStringLiteral("testability")};
    if (!argument.startsWith(u'-') || argument.startsWith(QStringLiteral("---"))) return false;
    QString name = argument.mid(argument.startsWith(QStringLiteral("--")) ? 2 : 1);
    const qsizetype equals = name.indexOf(u'=');
    if (equals >= 0) name.truncate(equals);
    *takesValue = equals < 0 && kWithValue.contains(name);
    return kWithValue.contains(name) || (equals < 0 && kFlags.contains(name));
}

// The arguments without Qt's own options and their values.
QStringList WithoutQtOptions(const QStringList& arguments) {
    QStringList own;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        bool takesValue = false;
        if (i > 0 && IsQtOption(arguments[i], &takesValue)) {
            if (takesValue) ++i;
            continue;
        }
        own << arguments[i];
    }
    return own;
}

// --save-report, --save-judgement and the items they read; false with `line.Error` set when
// refused.
const QStringList kSummaryOptions{QStringLiteral("save-report"),  QStringLiteral("save-judgement"),
                                  QStringLiteral("save-letters"), QStringLiteral("sex-item"),
                                  QStringLiteral("age-item"),     QStringLiteral("grade-item"),
                                  QStringLiteral("school"),       QStringLiteral("age"),
                                  QStringLiteral("group-item")};

// The first of kSummaryOptions name files; the rest say how the pupils are read.
constexpr qsizetype kSaveOptions = 3;

void AddSummaryOptions(QCommandLineParser& parser) {
    for (const QString& name : kSummaryOptions)
        parser.addOption(QCommandLineOption(name, QString(), QStringLiteral("VALUE")));
}

bool ReadNumber(const QCommandLineParser& parser, const QString& name, int low, int high,
                std::optional<int>& value, QString& error) {
    if (!parser.isSet(name)) return true;
    bool ok = false;
    const int number = parser.value(name).toInt(&ok);
    if (!ok || number < low || number > high) {
        error = QStringLiteral("--%1 must be a number from %2 to %3.").arg(name).arg(low).arg(high);
        return false;
    }
    value = number;
    return true;
}

bool ReadSummaryOptions(const QCommandLineParser& parser, CommandLine& line) {
    line.SaveReport = parser.value(QStringLiteral("save-report"));
    line.SaveJudgement = parser.value(QStringLiteral("save-judgement"));
    line.SaveLetters = parser.value(QStringLiteral("save-letters"));
    for (const QString& name : kSummaryOptions.mid(0, kSaveOptions))
        if (parser.isSet(name) && parser.value(name).isEmpty()) {
            line.Error = QStringLiteral("--%1 needs a file name.").arg(name);
            return false;
        }
    const bool summary =
        !line.SaveReport.isEmpty() || !line.SaveJudgement.isEmpty() || !line.SaveLetters.isEmpty();
    if (summary && !line.SaveCsv.isEmpty()) {
        line.Error = QStringLiteral("--save-csv is a run of its own.");
        return false;
    }
    for (const QString& name : kSummaryOptions.mid(kSaveOptions))
        if (parser.isSet(name) && !summary) {
            line.Error =
                QStringLiteral("--%1 goes with --save-report, --save-judgement or --save-letters.")
                    .arg(name);
            return false;
        }
    int ageSources = 0;
    for (const QString& name :
         {QStringLiteral("age-item"), QStringLiteral("grade-item"), QStringLiteral("age")})
        ageSources += parser.isSet(name) ? 1 : 0;
    if (ageSources > 1) {
        line.Error = QStringLiteral("Give only one of --age-item, --grade-item and --age.");
        return false;
    }
    line.School = parser.value(QStringLiteral("school"));
    if (parser.isSet(QStringLiteral("school")) &&
        (!parser.isSet(QStringLiteral("grade-item")) ||
         !QStringList{QStringLiteral("小"), QStringLiteral("中"), QStringLiteral("高"),
                      QStringLiteral("義務"), QStringLiteral("中等")}
              .contains(line.School))) {
        line.Error = QStringLiteral("--school is 小, 中, 高, 義務 or 中等, with --grade-item.");
        return false;
    }
    return ReadNumber(parser, QStringLiteral("sex-item"), 0, 3, line.SexItem, line.Error) &&
           ReadNumber(parser, QStringLiteral("age-item"), 1, 3, line.AgeItem, line.Error) &&
           ReadNumber(parser, QStringLiteral("grade-item"), 1, 3, line.GradeItem, line.Error) &&
           ReadNumber(parser, QStringLiteral("age"), 5, 17, line.Age, line.Error) &&
           ReadNumber(parser, QStringLiteral("group-item"), 0, 3, line.GroupItem, line.Error);
}
}  // namespace

CommandLine ParseCommandLine(const QStringList& allArguments) {
    const QStringList arguments = WithoutQtOptions(allArguments);
    QCommandLineParser parser;
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, QString());
    const QCommandLineOption saveCsv(kSaveCsv, QString(), QStringLiteral("FILE"));
    parser.addOptions({help, version, saveCsv});
    AddSummaryOptions(parser);
    CommandLine line;
    if (!parser.parse(arguments)) {
        line.Error = parser.errorText();
        return line;
    }
    if (!parser.positionalArguments().isEmpty()) {
        line.Error =
            QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments()[0]);
        return line;
    }
    line.ShowHelp = parser.isSet(help);
    line.ShowVersion = parser.isSet(version);
    line.SaveCsv = parser.value(saveCsv);
    if (parser.isSet(saveCsv) && line.SaveCsv.isEmpty())
        line.Error = QStringLiteral("--save-csv needs a file name.");
    if (line.Error.isEmpty()) ReadSummaryOptions(parser, line);
    return line;
}

QString CommandLineHelp() {
    return QStringLiteral(
        "Usage: hakaron [--save-csv FILE | --save-report FILE.pdf | --save-judgement FILE.csv |\n"
        "                --save-letters FILE.pdf\n"
        "                [--sex-item N] [--age-item N | --grade-item N [--school 小|中|高] |\n"
        "                --age YEARS] [--group-item N] | --version | --help]\n"
        "\n"
        "Without options Hakaron starts its windows.\n"
        "\n"
        "  --save-csv FILE  Save the current measurement set of the program folder\n"
        "                   (Org/zqmtemp.rdm beside the program) as CSV to FILE, with the\n"
        "                   same bytes as the menu command CSV形式で保存する, replacing an\n"
        "                   existing FILE. No window, serial port or display is needed, and\n"
        "                   the record file is only read, so this also works while Hakaron\n"
        "                   is open. Exit status 0 on success; otherwise a one-line reason\n"
        "                   on stderr and status 1.\n"
        "  --save-report FILE.pdf\n"
        "                   Write the class summary (obesity degree by the school method,\n"
        "                   group statistics, chart, the list of pupils at 20 % and over or\n"
        "                   -20 % and under) as an A4 PDF, as the menu command 集計 does.\n"
        "  --save-judgement FILE.csv\n"
        "                   Write every pupil with the judgement as CSV (code page 932).\n"
        "  --save-letters FILE.pdf\n"
        "                   Write the letters to parents (お知らせ), one A4 page for each\n"
        "                   pupil at 20 % and over or -20 % and under, with the text kept\n"
        "                   in Org/letter.txt. The three may be given at once.\n"
        "                   Which items (1-3) hold what:\n"
        "  --sex-item N     the sex (男/女, 男子/女子, M/F, 1/2); 0 for none\n"
        "  --age-item N     the age in years, or\n"
        "  --grade-item N   the grade (小1-小6, 中1-中3, 高1-高3; with --school for 1年-9年:\n"
        "                   小, 中, 高, 義務 (義務教育学校 1-9) or 中等 (中等教育学校 1-6)),\n"
        "  --age YEARS      or one age (5-17) for the whole set\n"
        "  --group-item N   the group, e.g. the class (0: the set is one group)\n"
        "                   What is not given is read as the window 集計 last had it. No\n"
        "                   display is needed. Exit status as for --save-csv.\n"
        "  -v, --version    Print the version.\n"
        "  -h, --help       Print this help.\n"
        "\n"
        "Qt's own options (-platform, -style, -session, -display, ...) are passed to Qt.\n"
        "\n"
        "Exit status: 0 success; 1 the save failed; 2 the command line was refused.\n");
}

QString VersionLine() {
    return G_Const::ProductName + u' ' + G_Const::Version;
}

QString SaveCsvFromProgramFolder(const QString& appFolder, const QString& target) {
    GlobalParams folders;
    folders.SetFolders(appFolder);
    const QString recordFile = folders.RecordFilePath();
    const SaveTarget::Problem problem =
        SaveTarget::Check(target, appFolder, QCoreApplication::applicationFilePath());
    if (problem != SaveTarget::Problem::None) return SaveTarget::CommandLineReason(problem, target);
    const QFileInfo targetInfo(target);
    // As the save dialog does, a read-only file is not replaced.
    if (targetInfo.exists() && !targetInfo.isWritable())
        return QStringLiteral("%1 is read-only").arg(target);
    // The label lines come from the header record, trimmed as start-up loads them.
    // Opened for reading only: a missing record file is never created here.
    MeasureRecord header;
    QFile records(recordFile);
    if (QFileInfo(recordFile).isFile() && records.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = records.read(G_Const::RecordLength);
        if (bytes.size() == G_Const::RecordLength) header = MeasureRecord::Decode(bytes);
    }
    CsvWriter writer(recordFile, target);
    bool ok = writer.Begin(
        {header.SubLabel1.Trimmed(), header.SubLabel2.Trimmed(), header.SubLabel3.Trimmed()});
    while (ok && !writer.AtEnd()) ok = writer.WriteNextRow();
    if (ok) ok = writer.Commit();
    return ok ? QString() : writer.ErrorText();
}
