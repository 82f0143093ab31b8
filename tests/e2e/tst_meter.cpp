#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "MeterProtocol.h"
#include "QtSerialPort.h"

using namespace meter;

namespace {
// Splits received bytes into whole frames, STX to ETX.
QList<QByteArray> Frames(const QByteArray& bytes) {
    QList<QByteArray> frames;
    qsizetype start = -1;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == kStx) start = i;
        if (bytes[i] == kEtx && start >= 0) {
            frames << bytes.mid(start, i - start + 1);
            start = -1;
        }
    }
    return frames;
}
}  // namespace

class TestMeter : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_programDir;
    QProcess m_meter;
    QList<int> m_events;
    QByteArray m_received;

    QString ComLink() const { return m_programDir.path() + QStringLiteral("/ports/COM1"); }

    // Starts the meter linked as COM1 of the test's program folder; returns its device.
    QString StartMeter(const QStringList& args) {
        m_meter.setProgram(QStringLiteral(HAKARON_METER_BIN));
        m_meter.setArguments(args + QStringList{QStringLiteral("--link"), ComLink()});
        m_meter.setProcessChannelMode(QProcess::SeparateChannels);
        m_meter.start();
        if (!m_meter.waitForStarted(10000)) return {};
        while (!m_meter.canReadLine() && m_meter.waitForReadyRead(10000)) {
        }
        return QString::fromLocal8Bit(m_meter.readLine()).trimmed();
    }

    // Opens COM1 with Hakaron's own start-up settings, logging what arrives.
    void OpenPort(QtSerialPort& port) {
        connect(&port, &SerialPort::OnComm, this, [this, &port] {
            m_events << port.CommEvent();
            if (port.CommEvent() == CommEvents::Receive) m_received += port.Input().toLatin1();
        });
        QCOMPARE(port.SetCommPort(1), CommErrors::None);
        QCOMPARE(port.SetSettings(QStringLiteral("4800,E,8,1")), CommErrors::None);
        QCOMPARE(port.SetHandshaking(2), CommErrors::None);
        QCOMPARE(port.SetRTSEnable(true), CommErrors::None);
        QCOMPARE(port.SetPortOpen(true), CommErrors::None);
    }

private slots:
    void initTestCase() { QVERIFY(m_programDir.isValid()); }

    void init() {
        m_events.clear();
        m_received.clear();
    }

    void cleanup() {
        if (m_meter.state() != QProcess::NotRunning) {
            m_meter.terminate();
            if (!m_meter.waitForFinished(10000)) m_meter.kill();
            m_meter.waitForFinished(10000);
        }
    }

    // --- The protocol, directly ---

    void repliesToCommands_data() {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QByteArray>("scaleState");
        QTest::addColumn<double>("weight");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("SY") << QByteArray("SY") << QByteArray("stable") << 65.4
                            << QByteArray("\x02SY,  170.2\x03");
        QTest::newRow("ZK") << QByteArray("ZK") << QByteArray("stable") << 65.4
                            << QByteArray("\x02ZK,   90.5\x03");
        QTest::newRow("TZ") << QByteArray("TZ") << QByteArray("stable") << 65.4
                            << QByteArray("\x02TZ,   65.4\x03");
        QTest::newRow("ST") << QByteArray("ST") << QByteArray("stable") << 65.4
                            << QByteArray("\x02SY,  170.2\x03\x02TZ,   65.4\x03");
        QTest::newRow("TR") << QByteArray("TR") << QByteArray("stable") << 65.4
                            << QByteArray("\x02TR,    0.0\x03");
        QTest::newRow("%W stable heavy")
            << QByteArray("%W") << QByteArray("stable") << 65.4 << QByteArray("\x02TH,   65.4\x03");
        QTest::newRow("%W stable light")
            << QByteArray("%W") << QByteArray("stable") << 9.9 << QByteArray("\x02TL,    9.9\x03");
        QTest::newRow("%W hold") << QByteArray("%W") << QByteArray("HD") << 65.4
                                 << QByteArray("\x02HD,   65.4\x03");
        QTest::newRow("%W not operating") << QByteArray("%W") << QByteArray("ER") << 0.0
                                          << QByteArray(
                                                 "\x02"
                                                 "ER,    0.0\x03");
        QTest::newRow("WT 10 kg is TH")
            << QByteArray("WT") << QByteArray("UL") << 10.0 << QByteArray("\x02TH,   10.0\x03");
        QTest::newRow("WT light") << QByteArray("WT") << QByteArray("stable") << 3.2
                                  << QByteArray("\x02TL,    3.2\x03");
        QTest::newRow("MS") << QByteArray("MS") << QByteArray("stable") << 65.4
                            << QByteArray("\x02ST,       \x03");
        QTest::newRow("%V") << QByteArray("%V") << QByteArray("stable") << 65.4
                            << QByteArray(
                                   "\x02"
                                   "13,       \x03");
        QTest::newRow("unknown") << QByteArray("XX") << QByteArray("stable") << 65.4
                                 << QByteArray();
    }
    void repliesToCommands() {
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, scaleState);
        QFETCH(double, weight);
        QFETCH(QByteArray, expected);
        Readings readings;
        readings.ScaleState = scaleState;
        readings.Weight = weight;
        QCOMPARE(RepliesTo(command, readings).join(), expected);
    }

    void statusAnswerFollowsTheConfiguredMeters() {
        Readings readings;
        readings.Meters = "ZK";
        QCOMPARE(RepliesTo("MS", readings), QList<QByteArray>{"\x02ZK,       \x03"});
        readings.RomVersion = "21";
        QCOMPARE(RepliesTo("%V", readings), QList<QByteArray>{"\x02"
                                                              "21,       \x03"});
    }

    void replyValueIsRightAlignedInSevenCharacters() {
        QCOMPARE(ReplyFrame("SY", "1"), QByteArray("\x02SY,      1\x03"));
        QCOMPARE(ReplyFrame("SY", "1234567"), QByteArray("\x02SY,1234567\x03"));
        QCOMPARE(ReplyFrame("SY", "123456789"), QByteArray("\x02SY,1234567\x03"));
        QCOMPARE(ReplyFrame("SY", {}).size(), 12);
    }

    void commandsAreSplitFromTheStream() {
        CommandSplitter splitter;
        QCOMPARE(splitter.Feed("junk\x02S"), QList<QByteArray>{});
        QCOMPARE(splitter.Feed("Y\x03\x03x\x02TZ\x03\x02M"), (QList<QByteArray>{"SY", "TZ"}));
        QCOMPARE(splitter.Feed("\x02%V\x03"), QList<QByteArray>{"%V"});  // STX restarts
    }

    void peopleArePlausibleAndRepeatable() {
        PersonGenerator first(42);
        PersonGenerator again(42);
        PersonGenerator other(43);
        bool child = false;
        bool adult = false;
        bool differs = false;
        for (int i = 0; i < 200; ++i) {
            const Person p = first.Next();
            const Person q = again.Next();
            const Person r = other.Next();
            QCOMPARE(PersonFrames(p, true), PersonFrames(q, true));
            differs = differs || p.Height != r.Height;
            QVERIFY2(p.Height >= 100 && p.Height <= 200, qPrintable(QString::number(p.Height)));
            const double bmi = p.Weight / (p.Height / 100) / (p.Height / 100);
            QVERIFY2(bmi > 13 && bmi < 32, qPrintable(QString::number(bmi)));
            QVERIFY(p.SittingHeight > p.Height * 0.5 && p.SittingHeight < p.Height * 0.6);
            child = child || p.Height < 140;
            adult = adult || p.Height > 165;
        }
        QVERIFY(child);
        QVERIFY(adult);
        QVERIFY(differs);
    }

    void personFramesAreHeightThenWeight() {
        const Person p{151.0, 80.3, 42.75};
        QCOMPARE(PersonFrames(p, false),
                 (QList<QByteArray>{"\x02SY,  151.0\x03", "\x02TZ,   42.8\x03"}));
        QCOMPARE(PersonFrames(p, true).at(1), QByteArray("\x02ZK,   80.3\x03"));
    }

    void scriptLinesBecomeSteps() {
        const ScriptResult script = ParseScript(QStringLiteral(
            "# a comment\r\n\nsend SY 170.2\nsend TZ\nraw \\x02SY, \\\\1\\x03\npause 250\n"
            "wait ST\nunplug\nend\n"));
        QCOMPARE(script.Error, QString());
        QCOMPARE(script.Steps.size(), 7);
        QCOMPARE(script.Steps[0].Bytes, QByteArray("\x02SY,  170.2\x03"));
        QCOMPARE(script.Steps[1].Bytes, QByteArray("\x02TZ,       \x03"));
        QCOMPARE(script.Steps[2].Bytes, QByteArray("\x02SY, \\1\x03"));
        QCOMPARE(script.Steps[3].What, ScriptStep::Kind::Pause);
        QCOMPARE(script.Steps[3].Milliseconds, 250);
        QCOMPARE(script.Steps[4].What, ScriptStep::Kind::Wait);
        QCOMPARE(script.Steps[4].Bytes, QByteArray("ST"));
        QCOMPARE(script.Steps[5].What, ScriptStep::Kind::Unplug);
        QCOMPARE(script.Steps[6].What, ScriptStep::Kind::End);
    }

    void badScriptLinesAreReportedWithTheirNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("error");
        QTest::newRow("unknown step") << "send SY 1\njump 3"
                                      << "line 2: unknown step \"jump 3\"";
        QTest::newRow("bad escape") << "raw \\q"
                                    << "line 1: bad escape in raw bytes";
        QTest::newRow("short hex") << "raw \\x2"
                                   << "line 1: bad escape in raw bytes";
        QTest::newRow("pause text") << "pause soon"
                                    << "line 1: pause needs milliseconds";
        QTest::newRow("three-letter code") << "send SYX 1"
                                           << "line 1: send needs a two-letter code";
    }
    void badScriptLinesAreReportedWithTheirNumber() {
        QFETCH(QString, text);
        QFETCH(QString, error);
        const ScriptResult script = ParseScript(text);
        QCOMPARE(script.Error, error);
        QVERIFY(script.Steps.isEmpty());
    }

    void escapeAndUnescapeRoundTrip() {
        QByteArray all;
        for (int b = 0; b < 256; ++b) all.append(char(b));
        QCOMPARE(Unescape(Escape(all)).value_or(QByteArray()), all);
        QCOMPARE(Escape("\x02SY\x03"), QStringLiteral("\\x02SY\\x03"));
    }

    // --- The running meter on a pty, through the real port adapter ---

    void commandModeAnswersRequestsByteForByte() {
        const QString device = StartMeter({QStringLiteral("--height"), QStringLiteral("98.7"),
                                           QStringLiteral("--weight"), QStringLiteral("15")});
        QVERIFY(device.startsWith(u"/dev/"));
        QCOMPARE(QFileInfo(ComLink()).symLinkTarget(), device);
        QtSerialPort port(m_programDir.path());
        OpenPort(port);

        QCOMPARE(port.SetOutput(QStringLiteral("\x02SY\x03")), CommErrors::None);
        const QByteArray height("\x02SY,   98.7\x03");
        QTRY_COMPARE_WITH_TIMEOUT(m_received, height, 10000);
        QCOMPARE(port.SetOutput(QStringLiteral("\x02ST\x03")), CommErrors::None);
        const QByteArray both = height + QByteArray("\x02TZ,   15.0\x03");
        QTRY_COMPARE_WITH_TIMEOUT(m_received, height + both, 10000);
        for (int e : m_events) QCOMPARE(e, CommEvents::Receive);
    }

    void terminatingTheMeterLeavesItsLink() {  // as a real adapter's name stays
        QVERIFY(!StartMeter({}).isEmpty());
        QVERIFY(QFileInfo(ComLink()).isSymLink());
        m_meter.terminate();
        QVERIFY(m_meter.waitForFinished(10000));
        QCOMPARE(m_meter.exitStatus(), QProcess::NormalExit);
        QCOMPARE(m_meter.exitCode(), 0);
        QVERIFY(QFileInfo(ComLink()).isSymLink());
    }

    void manualModeSendsPeopleOnItsOwn() {
        QVERIFY(!StartMeter({QStringLiteral("--mode"), QStringLiteral("manual"),
                             QStringLiteral("--interval"), QStringLiteral("1"),
                             QStringLiteral("--count"), QStringLiteral("2"),
                             QStringLiteral("--seed"), QStringLiteral("7")})
                     .isEmpty());
        QtSerialPort port(m_programDir.path());
        OpenPort(port);
        QTRY_COMPARE_WITH_TIMEOUT(Frames(m_received).size(), 4, 20000);
        PersonGenerator people(7);
        QList<QByteArray> expected = PersonFrames(people.Next(), false);
        expected += PersonFrames(people.Next(), false);
        QCOMPARE(Frames(m_received), expected);
        QCOMPARE(m_received, expected.join());
        // Manual mode does not answer requests.
        QCOMPARE(port.SetOutput(QStringLiteral("\x02SY\x03")), CommErrors::None);
        QTest::qWait(500);
        QCOMPARE(Frames(m_received).size(), 4);
    }

    void unpluggedMeterGivesOneVanishedEvent() {
        QVERIFY(!StartMeter({QStringLiteral("--unplug-after"), QStringLiteral("1")}).isEmpty());
        QtSerialPort port(m_programDir.path());
        OpenPort(port);
        QTRY_VERIFY_WITH_TIMEOUT(m_events.contains(CommEvents::DeviceVanished), 20000);
        QVERIFY(!port.PortOpen());
        QTest::qWait(500);
        QCOMPARE(m_events, QList<int>{CommEvents::DeviceVanished});
        QTRY_COMPARE_WITH_TIMEOUT(m_meter.state(), QProcess::NotRunning, 10000);
        QCOMPARE(m_meter.exitCode(), 0);
        QVERIFY(QFileInfo(ComLink()).isSymLink());
    }

    void scriptPlaysExactBytesAndWaitsForCommands() {
        QTemporaryDir scriptDir;
        const QString scriptPath = scriptDir.filePath(QStringLiteral("split.txt"));
        QFile script(scriptPath);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(
            "wait SY\n"
            "raw \\x02SY,  1\n"
            "pause 300\n"
            "raw 70.2\\x03\n"
            "wait TZ\n"
            "send TE\n"
            "pause 300\n"
            "unplug\n");
        script.close();
        QVERIFY(!StartMeter({QStringLiteral("--mode"), QStringLiteral("manual"),
                             QStringLiteral("--script"), scriptPath})
                     .isEmpty());
        QtSerialPort port(m_programDir.path());
        OpenPort(port);
        QTest::qWait(300);
        QVERIFY(m_received.isEmpty());  // nothing before the program asks
        QCOMPARE(port.SetOutput(QStringLiteral("\x02SY\x03")), CommErrors::None);
        QTRY_COMPARE_WITH_TIMEOUT(m_received, QByteArray("\x02SY,  170.2\x03"), 10000);
        QVERIFY(m_events.count(CommEvents::Receive) >= 2);  // the pause split the frame
        QCOMPARE(port.SetOutput(QStringLiteral("\x02TZ\x03")), CommErrors::None);
        QTRY_VERIFY_WITH_TIMEOUT(m_events.contains(CommEvents::DeviceVanished), 10000);
        QCOMPARE(m_received, QByteArray("\x02SY,  170.2\x03\x02TE,       \x03"));
        QCOMPARE(m_events.count(CommEvents::DeviceVanished), 1);
    }

    void badOptionsAreRefused_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("mode") << QStringList{"--mode", "auto"};
        QTest::newRow("height") << QStringList{"--height", "tall"};
        QTest::newRow("scale state") << QStringList{"--scale-state", "XX"};
        QTest::newRow("meters") << QStringList{"--meters", "AB"};
        QTest::newRow("interval") << QStringList{"--interval", "0"};
        QTest::newRow("missing script") << QStringList{"--script", "/nonexistent/script"};
    }
    void badOptionsAreRefused() {
        QFETCH(QStringList, args);
        QProcess meter;
        meter.start(QStringLiteral(HAKARON_METER_BIN), args);
        QVERIFY(meter.waitForFinished(10000));
        QVERIFY(meter.exitCode() != 0);
        QVERIFY(meter.readAllStandardOutput().isEmpty());
        QVERIFY(!meter.readAllStandardError().isEmpty());
    }

    void helpExplainsUseWithHakaron() {
        QProcess meter;
        meter.start(QStringLiteral(HAKARON_METER_BIN), {QStringLiteral("--help")});
        QVERIFY(meter.waitForFinished(10000));
        const QString help = QString::fromUtf8(meter.readAllStandardOutput());
        QVERIFY(help.contains(u"--link program/ports/COM1"));
        for (const char* option :
             {"--mode", "--script", "--unplug-after", "--count", "--seed", "--device", "--verbose",
              "--rom-version", "--silent", "replug MS"})
            QVERIFY2(help.contains(QLatin1String(option)), option);
    }
};

QTEST_GUILESS_MAIN(TestMeter)
#include "tst_meter.moc"
