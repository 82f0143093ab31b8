#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <csignal>
#include <cstdio>
#include <string>

#include "CommandLine.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

// Only what --save-csv, --help and --version use is linked into the executable; the windows
// and the summary's outputs live in this library beside it, so the command line starts
// without loading Qt's GUI modules.
#ifdef Q_OS_WIN
constexpr char WindowLibrary[] = "hakaron-window.dll";
#else
constexpr char WindowLibrary[] = "hakaron-window.so";
#endif

// No window and no display: only the record file is read.
int RunSaveCsv(int argc, char* argv[], const QString& target) {
    QCoreApplication app(argc, argv);
    const QString error = SaveCsvFromProgramFolder(QCoreApplication::applicationDirPath(), target);
    if (error.isEmpty()) return 0;
    std::fprintf(stderr, "hakaron: %s\n", error.toLocal8Bit().constData());
    return 1;
}

void Print(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
}

// The executable's folder, before an application object exists to say it.
QString ExecutableFolder(const char* argv0) {
#ifdef Q_OS_WIN
    Q_UNUSED(argv0);
    std::wstring path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
    return QFileInfo(QString::fromWCharArray(path.data(), int(length))).absolutePath();
#else
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    const QString target = self.symLinkTarget();
    return QFileInfo(target.isEmpty() ? QFile::decodeName(argv0) : target).absolutePath();
#endif
}

int RunWindowLibrary(int argc, char* argv[]) {
    QLibrary library(QDir(ExecutableFolder(argv[0])).filePath(QLatin1String(WindowLibrary)));
    using Entry = int (*)(int, char**);
    const auto run = reinterpret_cast<Entry>(library.resolve("HakaronRunProgram"));
    if (run) return run(argc, argv);
    const QString error =
        QStringLiteral("画面の部品（%1）を読み込めないため、Hakaron を起動できません。")
            .arg(QLatin1String(WindowLibrary));
    Print(stderr, QStringLiteral("hakaron: %1 (%2)\n").arg(error, library.errorString()));
#ifdef Q_OS_WIN
    // A program started from its icon has no console: the nurse sees this box.
    const QString box = error + u'\n' + library.errorString();
    MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(box.utf16()), L"Hakaron",
                MB_OK | MB_ICONERROR);
#endif
    return 1;
}

}  // namespace

int main(int argc, char* argv[]) {
#ifdef SIGXFSZ
    // A file-size limit (ulimit -f) must fail the write with its message, not end the program
    // with the reading on screen.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine command = ParseCommandLine(arguments);
    if (!command.Error.isEmpty()) {
        Print(stderr, QStringLiteral("hakaron: %1 (see hakaron --help)\n").arg(command.Error));
        return 2;
    }
    if (command.ShowHelp) {
        Print(stdout, CommandLineHelp());
        return 0;
    }
    if (command.ShowVersion) {
        Print(stdout, VersionLine() + u'\n');
        return 0;
    }
    if (!command.SaveCsv.isEmpty()) return RunSaveCsv(argc, argv, command.SaveCsv);
    return RunWindowLibrary(argc, argv);
}
