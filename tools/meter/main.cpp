// hakaron-meter: a virtual height-weight meter on a pseudo-terminal, for trying Hakaron
// without the real meter and for its tests.

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <cstdio>

#include "Meter.h"

namespace {
const char* const kDescription = R"(A virtual height-weight meter for Hakaron.

It opens a pseudo-terminal (or the device given with --device), prints the device
path as its first line, and speaks the meter's protocol on it.

Try Hakaron without a meter (from the build folder):
  ./hakaron-meter --link program/ports/COM1
  ./program/hakaron            (communication settings: COM1; Hakaron opens the link)
Manual mode, a new person every 3 seconds, with sitting height:
  ./hakaron-meter --link program/ports/COM1 --mode manual --interval 3 --sitting
Hakaron's user settings must name the same mode (command or manual) as the meter.

Modes:
  command  answers each request STX code ETX: SY height, ZK sitting height, TZ weight,
           ST height then weight, TR tare, %W scale state, WT weight as TL/TH,
           MS which meters work, %V ROM version. Replies look like STX "SY,  170.2" ETX.
  manual   every --interval seconds sends a new person's height (and sitting height
           with --sitting) then weight; plausible children and adults, repeatable
           with --seed. A person the program did not read before the next one is lost.

Script file (--script), one step per line; blank lines and # comments are skipped:
  send CODE [VALUE]  a reply frame, e.g. "send SY 170.2" (no VALUE: a blank value)
  raw BYTES          exact bytes with C escapes, e.g. "raw \x02SY,  170.2\x03"
  pause MS           wait MS milliseconds
  wait CODE          wait until the program sends the command CODE
  unplug             close the line (the program sees the device vanish) and end
  replug MS          close the line, and MS milliseconds later open a new one behind
                     the same --link (a cable pulled and pushed back); its device is
                     printed as another line, and the script goes on
  end                end, closing the line
After the last step the line stays open (unless --exit-when-done). In command mode
requests are still answered while the script plays; use --mode manual to play only
the script.

With --silent the line is open but the meter answers nothing and sends nothing on its
own (a meter switched off, or one in the other mode): Hakaron in command mode then
says "測定器から応答がありません". A script still plays.

Unplug and replug while Hakaron runs:
  printf 'pause 5000\nreplug 3000\n' > replug.txt
  ./hakaron-meter --link program/ports/COM1 --script replug.txt
Hakaron shows one message and goes offline, then reconnects by itself and prints
"再接続しました".

The meter ends on Ctrl+C or SIGTERM. The link it made stays, as a real adapter's name
does: Hakaron then reports the meter missing instead of opening another device, and
the next run of the meter points the link at its new line.)";

[[noreturn]] void Fail(const QString& text) {
    std::fprintf(stderr, "hakaron-meter: %s\n", qPrintable(text));
    std::exit(2);
}

double Number(const QCommandLineParser& parser, const QString& name) {
    bool ok = false;
    const double v = parser.value(name).toDouble(&ok);
    if (!ok) Fail(QStringLiteral("--%1 needs a number, not \"%2\"").arg(name, parser.value(name)));
    return v;
}
}  // namespace

int main(int argc, char* argv[]) {
    // SIGINT and SIGTERM arrive through a signalfd, so the event loop can end cleanly.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigprocmask(SIG_BLOCK, &stopSignals, nullptr);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("hakaron-meter"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.30"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(kDescription));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({
        QCommandLineOption("mode",
                           "command (answer requests, default) or manual (send on its own).",
                           "mode", "command"),
        QCommandLineOption("height", "Height in cm that command mode reports (default 170.2).",
                           "cm", "170.2"),
        QCommandLineOption("sitting-height", "Sitting height in cm (default 90.5).", "cm", "90.5"),
        QCommandLineOption("weight", "Weight in kg (default 65.4).", "kg", "65.4"),
        QCommandLineOption("tare", "Tare setting in kg that TR reports (default 0.0).", "kg",
                           "0.0"),
        QCommandLineOption(
            "scale-state",
            "Answer to %W: TL, TH, UL, OV, HD, ER, or stable (TL below 10 kg, TH at or "
            "above; default).",
            "state", "stable"),
        QCommandLineOption("meters", "Answer to MS: ST (both work, default), SY, ZK or TZ.", "code",
                           "ST"),
        QCommandLineOption("rom-version", "Two digits that %V reports (default 13).", "digits",
                           "13"),
        QCommandLineOption("interval", "Manual mode: seconds between people (default 5).",
                           "seconds", "5"),
        QCommandLineOption("sitting", "Manual mode: send a sitting height too."),
        QCommandLineOption("seed", "Manual mode: seed of the people sequence (default 1).", "n",
                           "1"),
        QCommandLineOption("count", "Manual mode: stop after N people (default: no limit).", "n",
                           "0"),
        QCommandLineOption("script", "Play the steps of FILE (see above).", "file"),
        QCommandLineOption("exit-when-done", "End (closing the line) after the script or --count."),
        QCommandLineOption("unplug-after",
                           "Close the line after SECONDS, as a pulled cable, and end.", "seconds"),
        QCommandLineOption("device",
                           "Use this device (e.g. /dev/ttyUSB0) instead of a new "
                           "pseudo-terminal.",
                           "path"),
        QCommandLineOption("link",
                           "Make PATH a symbolic link to the line, e.g. program/ports/COM1; an "
                           "old link to a pseudo-terminal is replaced, and the link stays "
                           "after the meter ends.",
                           "path"),
        QCommandLineOption("silent", "Keep the line open but answer nothing (see above)."),
        QCommandLineOption("verbose", "Log every byte sent and received to stderr."),
    });
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        Fail(QStringLiteral("unexpected argument \"%1\"; see --help")
                 .arg(parser.positionalArguments().first()));

    MeterOptions options;
    const QString mode = parser.value("mode");
    if (mode == u"command")
        options.OperationMode = MeterOptions::Mode::Command;
    else if (mode == u"manual")
        options.OperationMode = MeterOptions::Mode::Manual;
    else
        Fail(QStringLiteral("--mode is command or manual, not \"%1\"").arg(mode));
    options.Readings.Height = Number(parser, "height");
    options.Readings.SittingHeight = Number(parser, "sitting-height");
    options.Readings.Weight = Number(parser, "weight");
    options.Readings.Tare = Number(parser, "tare");
    options.Readings.ScaleState = parser.value("scale-state").toLatin1();
    if (!meter::IsValidScaleState(options.Readings.ScaleState))
        Fail(QStringLiteral("--scale-state is TL, TH, UL, OV, HD, ER or stable"));
    options.Readings.Meters = parser.value("meters").toLatin1();
    if (!meter::IsValidMeters(options.Readings.Meters))
        Fail(QStringLiteral("--meters is ST, SY, ZK or TZ"));
    options.Readings.RomVersion = parser.value("rom-version").toLatin1();
    if (options.Readings.RomVersion.size() != 2)
        Fail(QStringLiteral("--rom-version is two characters, e.g. 13"));
    options.IntervalSeconds = Number(parser, "interval");
    if (options.IntervalSeconds <= 0) Fail(QStringLiteral("--interval must be above 0"));
    options.Sitting = parser.isSet("sitting");
    options.Seed = static_cast<quint32>(Number(parser, "seed"));
    options.Count = static_cast<int>(Number(parser, "count"));
    options.ExitWhenDone = parser.isSet("exit-when-done");
    if (parser.isSet("unplug-after")) options.UnplugAfterSeconds = Number(parser, "unplug-after");
    if (parser.isSet("script")) {
        QFile file(parser.value("script"));
        if (!file.open(QIODevice::ReadOnly))
            Fail(QStringLiteral("cannot read %1").arg(file.fileName()));
        const meter::ScriptResult script = meter::ParseScript(QString::fromUtf8(file.readAll()));
        if (!script.Error.isEmpty()) Fail(file.fileName() + QStringLiteral(", ") + script.Error);
        options.Script = script.Steps;
        options.HasScript = true;
    }
    options.Device = parser.value("device");
    options.Link = parser.value("link");
    options.Silent = parser.isSet("silent");
    options.Verbose = parser.isSet("verbose");

    Meter meter(options);
    if (const auto error = meter.Start()) Fail(*error);
    std::printf("%s\n", qPrintable(meter.DevicePath()));
    std::fflush(stdout);
    if (options.Verbose)
        std::fprintf(stderr, "hakaron-meter: %s mode on %s%s\n", qPrintable(mode),
                     qPrintable(meter.DevicePath()),
                     options.Link.isEmpty()
                         ? ""
                         : qPrintable(QStringLiteral(", linked from ") + options.Link));

    const int signalFd = signalfd(-1, &stopSignals, SFD_CLOEXEC);
    QSocketNotifier stop(signalFd, QSocketNotifier::Read);
    QObject::connect(&stop, &QSocketNotifier::activated, &app, [] { QCoreApplication::quit(); });
    QObject::connect(&meter, &Meter::Finished, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    QObject::connect(&meter, &Meter::Replugged, &app, [](const QString& device) {
        std::printf("%s\n", qPrintable(device));
        std::fflush(stdout);
    });

    const int code = app.exec();
    meter.Stop();
    ::close(signalFd);
    return code;
}
