#include <sys/resource.h>

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "DialogsDouble.h"
#include "G_Const.h"
#include "G_Param.h"
#include "LiveDisplay.h"
#include "MeterLink.h"
#include "QtSerialPort.h"
#include "TestProgramFolder.h"

namespace {
// What the main window would show of the link's work.
class ShownDisplay : public LiveDisplay {
public:
    void PrintLine(const QString& line) override { Lines << line; }
    void ClearPrint() override { Lines.clear(); }
    void ShowBmiResult(const QString& text) override { BmiLabel = text; }
    void RefreshDisplay() override { ++Refreshes; }
    void ArmAutoWrite(int ms, bool) override { Arms << ms; }
    void ShowLinkStatus(const QString& text, const QString&) override { Status = text; }
    void ShowLinkNotice(const QString& text) override { Notices << text; }
    void LinkBack() override { ++LinkBacks; }

    QStringList Lines;
    QString Status;
    QString BmiLabel;
    int Refreshes = 0;
    QList<int> Arms;
    QStringList Notices;
    int LinkBacks = 0;
};

constexpr int kPatience = 20000;  // the machine is shared; be generous
// User and system CPU time of this process so far.
double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}
}  // namespace

// The link on the real serial port, against the virtual meter on a pty.
class TestLinkMeter : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestProgramFolder> m_folder;
    QProcess m_meter;

    bool StartMeter(const QStringList& args) {
        m_meter.setProgram(QStringLiteral(HAKARON_METER_BIN));
        m_meter.setArguments(args + QStringList{QStringLiteral("--link"),
                                                m_folder->Path() + QStringLiteral("/ports/COM1")});
        m_meter.start();
        if (!m_meter.waitForStarted(kPatience)) return false;
        // The meter prints its device once the line and the link exist.
        while (!m_meter.canReadLine())
            if (!m_meter.waitForReadyRead(kPatience)) return false;
        return !m_meter.readLine().trimmed().isEmpty();
    }

private slots:
    void init() {
        m_folder = std::make_unique<TestProgramFolder>();
        G_Param.PortNumber = 1;
        G_Param.CommSettings = G_Const::DefaultCommSettings;
        G_Param.OperationMode = 1;
        G_Param.AutoWriteOn = 1;
        G_Param.AutoWriteDelay = 2;
    }

    void cleanup() {
        if (m_meter.state() != QProcess::NotRunning) {
            m_meter.terminate();
            if (!m_meter.waitForFinished(kPatience)) m_meter.kill();
            m_meter.waitForFinished(kPatience);
        }
        m_folder.reset();
    }

    void requestedHeightAndWeightReachTheValuesAndTheBmiLabel() {
        QVERIFY(StartMeter({QStringLiteral("--height"), QStringLiteral("170"),
                            QStringLiteral("--weight"), QStringLiteral("60")}));
        QtSerialPort port(m_folder->Path());
        DialogsDouble dialogs;
        ShownDisplay display;
        MeterLink link(port, dialogs, display);

        link.OpenAtStartup();
        QVERIFY(link.IsOnline());
        QVERIFY(port.PortOpen());
        QVERIFY(dialogs.Transcript.isEmpty());

        link.SendCommand(0);
        QCOMPARE(G_Param.LastCommand, QStringLiteral("SY"));
        QTRY_COMPARE_WITH_TIMEOUT(G_Param.CurrentValues.Height.Trimmed(), QStringLiteral("170.0"),
                                  kPatience);
        QCOMPARE(G_Param.RecordBuffer.Values.Height.Trimmed(), QStringLiteral("170.0"));

        link.SendCommand(2);
        QTRY_COMPARE_WITH_TIMEOUT(display.BmiLabel, QStringLiteral("20.8"), kPatience);
        QCOMPARE(G_Param.CurrentValues.Weight.Trimmed(), QStringLiteral("60.0"));
        QCOMPARE(G_Param.RecordBuffer.Values.BmiStdWeight.Trimmed(), QStringLiteral("63.58"));
        QVERIFY(display.Lines.contains(QStringLiteral("身長  170.0cm")));
        QVERIFY(display.Lines.contains(QStringLiteral("体重   60.0kg")));
        QCOMPARE(display.Arms, (QList<int>{2000, 2000}));
        QVERIFY(dialogs.Transcript.isEmpty());
    }

    void unpluggedMeterGivesOneMessageAndAnOfflineLink() {
        QVERIFY(StartMeter({QStringLiteral("--unplug-after"), QStringLiteral("1")}));
        QtSerialPort port(m_folder->Path());
        DialogsDouble dialogs;
        ShownDisplay display;
        MeterLink link(port, dialogs, display);
        QSignalSpy events(&port, &SerialPort::OnComm);
        link.OpenAtStartup();
        QVERIFY(link.IsOnline());

        QTRY_VERIFY_WITH_TIMEOUT(!display.Notices.isEmpty(), kPatience);
        QVERIFY(display.Notices.first().startsWith(u"未定義のエラーが発生しました。\r\n測定器"_qs));
        QVERIFY(dialogs.Transcript.isEmpty());
        QVERIFY(!link.IsOnline());
        QVERIFY(!port.PortOpen());
        QCOMPARE(link.ConnectCaption(), QStringLiteral("オフライン"));
        QCOMPARE(link.ConnectPicture(), 4);

        // Nothing follows: no storm of errors from the dead line.
        const qsizetype eventsSoFar = events.size();
        QTRY_COMPARE_WITH_TIMEOUT(m_meter.state(), QProcess::NotRunning, kPatience);
        // ...and the process idles: a storm would keep one core busy for the whole wait.
        const double cpuBefore = CpuSeconds();
        QElapsedTimer wall;
        wall.start();
        QTest::qWait(1000);
        const double busy = (CpuSeconds() - cpuBefore) / (wall.elapsed() / 1000.0);
        QVERIFY2(busy < 0.5, qPrintable(QStringLiteral("busy %1").arg(busy)));
        QCOMPARE(events.size(), eventsSoFar);
        QCOMPARE(display.Notices.size(), 1);
    }

    void repluggedMeterIsBackInUseByItself() {
        QFile script(m_folder->Path() + QStringLiteral("/replug.txt"));
        QVERIFY(script.open(QIODevice::WriteOnly) &&
                script.write("wait SY\npause 300\nreplug 1500\n"));
        script.close();
        QVERIFY(StartMeter({QStringLiteral("--script"), script.fileName()}));
        QtSerialPort port(m_folder->Path());
        DialogsDouble dialogs;
        ShownDisplay display;
        MeterLink link(port, dialogs, display);
        link.OpenAtStartup();
        link.SendCommand(0);
        QTRY_VERIFY_WITH_TIMEOUT(!display.Notices.isEmpty(), kPatience);
        QCOMPARE(link.ConnectCaption(), QStringLiteral("オフライン"));

        QTRY_COMPARE_WITH_TIMEOUT(link.ConnectCaption(), QStringLiteral("オンライン"), kPatience);
        QVERIFY(display.Lines.contains(QStringLiteral("再接続しました")));
        link.SendCommand(2);
        QTRY_COMPARE_WITH_TIMEOUT(G_Param.RecordBuffer.Values.Weight.Trimmed(), u"65.4"_qs,
                                  kPatience);
        QCOMPARE(display.Notices.size(), 1);  // one notice, no more for the tries
        QCOMPARE(display.LinkBacks, 1);       // gone once the meter is back
        QVERIFY(dialogs.Transcript.isEmpty());
    }

    // Told after about 2 s, once per request, and never in a box.
    void silentMeterIsToldOncePerRequest() {
        QVERIFY(StartMeter({QStringLiteral("--silent")}));
        QtSerialPort port(m_folder->Path());
        DialogsDouble dialogs;
        ShownDisplay display;
        MeterLink link(port, dialogs, display);
        link.OpenAtStartup();
        const QString noAnswer = QStringLiteral("測定器から応答がありません");
        link.SendCommand(0);
        link.SendCommand(2);
        QTRY_COMPARE_WITH_TIMEOUT(display.Lines, QStringList(2, noAnswer), kPatience);
        QVERIFY(!link.findChild<QTimer*>(QStringLiteral("AnswerTimer"))->isActive());
        QCOMPARE(display.Status, noAnswer);
        QVERIFY(dialogs.Transcript.isEmpty());
    }
};

QTEST_MAIN(TestLinkMeter)
#include "tst_link_meter.moc"
