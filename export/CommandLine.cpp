#include "CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include "CsvWriter.h"
#include "G_Const.h"
#include "G_Param.h"
#include "mdlDialog.h"

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
}  // namespace

CommandLine ParseCommandLine(const QStringList& allArguments) {
    const QStringList arguments = WithoutQtOptions(allArguments);
    QCommandLineParser parser;
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, QString());
    const QCommandLineOption saveCsv(kSaveCsv, QString(), QStringLiteral("FILE"));
    parser.addOptions({help, version, saveCsv});
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
    return line;
}

QString CommandLineHelp() {
    return QStringLiteral(
        "Usage: hakaron [--save-csv FILE | --version | --help]\n"
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
    if (mdlDialog::IsProgramFile(target, appFolder, QCoreApplication::applicationFilePath()))
        return QStringLiteral("%1 is a file of the program; it is never replaced by a CSV")
            .arg(target);
    const QFileInfo targetInfo(target);
    if (targetInfo.isDir()) return QStringLiteral("%1 is a folder").arg(target);
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
