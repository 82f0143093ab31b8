#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {
constexpr int kPatience = 20000;  // the machine is shared; be generous
constexpr int kPlayTime = 40000;  // three people with pauses between them, on a busy machine
constexpr qsizetype kRecordLength = 150;

// A text field as the record file holds it: the bytes, then spaces up to the width.
QByteArray Field(const QByteArray& bytes, int width) {
    return bytes + QByteArray(width - bytes.size(), ' ');
}

// One record: three 20-byte sub-labels, then nine 10-byte values in file order
// (sitting height, height, BMI, weight, BMI standard weight, Hibi standard weight
// male / female, Hibi obesity male / female).
QByteArray Record(const QList<QByteArray>& subLabels, const QList<QByteArray>& values) {
    QByteArray record;
    for (int i = 0; i < 3; ++i) record += Field(subLabels.value(i), 20);
    for (int i = 0; i < 9; ++i) record += Field(values.value(i), 10);
    return record;
}

const QByteArray kBlank(kRecordLength, ' ');
// 身体測定 / 2024/05/01 / 山田 ; captions 組 / 出席番号 / 項目 in code page 932.
const QByteArray kHeader =
    Record({"\x90\x67\x91\xcc\x91\xaa\x92\xe8", "2024/05/01", "\x8e\x52\x93\x63"}, {});
const QByteArray kCaptions =
    Record({"\x91\x67", "\x8f\x6f\x90\xc8\x94\xd4\x8d\x86", "\x8d\x80\x96\xda"}, {});

// A file descriptor that closes itself.
class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};
}  // namespace

// The real program in a program folder of its own, fed by the virtual meter on a pty.
class TestHakaron : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QProcess m_meter;
    QString m_device;
    std::unique_ptr<Fd> m_line;  // the test's own end of the line, to release the script
    std::vector<std::unique_ptr<QProcess>> m_programs;

    QString ProgramPath() const { return m_dir->filePath(QStringLiteral("hakaron")); }
    QString RecordFilePath() const { return m_dir->filePath(QStringLiteral("Org/zqmtemp.rdm")); }

    QByteArray RecordFileBytes() const {
        QFile file(RecordFilePath());
        if (!file.open(QIODevice::ReadOnly)) return {};
        return file.readAll();
    }

    // The program folder: the executable with Org/ (settings and record file) and Name_List/.
    bool MakeProgramFolder(const QByteArray& settingsLine, const QByteArray& records) {
        QDir dir(m_dir->path());
        if (!QFile::copy(QStringLiteral(HAKARON_BIN), ProgramPath())) return false;
        if (!dir.mkpath(QStringLiteral("Org")) || !dir.mkpath(QStringLiteral("Name_List")) ||
            !dir.mkpath(QStringLiteral("tmp")))
            return false;
        QFile settings(dir.filePath(QStringLiteral("Org/user.dat")));
        if (!settings.open(QIODevice::WriteOnly)) return false;
        settings.write(settingsLine + "\r\n");
        settings.close();
        QFile recordFile(RecordFilePath());
        if (!recordFile.open(QIODevice::WriteOnly)) return false;
        return recordFile.write(records) == records.size();
    }

    // Starts the meter playing `script` as COM1 of the program folder. The script should
    // begin with "wait GO"; Release() then lets it play once the program listens.
    bool StartMeter(const QByteArray& script) {
        const QString scriptPath = m_dir->filePath(QStringLiteral("meter-script.txt"));
        QFile file(scriptPath);
        if (!file.open(QIODevice::WriteOnly) || file.write(script) != script.size()) return false;
        file.close();
        m_meter.setProgram(QStringLiteral(HAKARON_METER_BIN));
        m_meter.setArguments({QStringLiteral("--mode"), QStringLiteral("manual"),
                              QStringLiteral("--script"), scriptPath, QStringLiteral("--link"),
                              m_dir->filePath(QStringLiteral("ports/COM1"))});
        m_meter.start();
        if (!m_meter.waitForStarted(kPatience)) return false;
        while (!m_meter.canReadLine())
            if (!m_meter.waitForReadyRead(kPatience)) return false;
        m_device = QString::fromLocal8Bit(m_meter.readLine()).trimmed();
        // Opened now, before the program takes the line for itself.
        m_line = std::make_unique<Fd>(
            ::open(QFile::encodeName(m_device).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK));
        return m_line->get() >= 0;
    }

    // Sends the command `code` as if the program had, which a waiting script step takes.
    bool Release(const QByteArray& code) {
        const QByteArray frame = '\x02' + code + '\x03';
        return ::write(m_line->get(), frame.constData(), frame.size()) == frame.size();
    }

    QProcess* StartProgram() {
        auto program = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // Keeps the single-instance lock among this test's own copies.
        env.insert(QStringLiteral("TMPDIR"), m_dir->filePath(QStringLiteral("tmp")));
        program->setProcessEnvironment(env);
        program->setWorkingDirectory(m_dir->path());
        program->setProgram(ProgramPath());
        program->start();
        if (!program->waitForStarted(kPatience)) return nullptr;
        m_programs.push_back(std::move(program));
        return m_programs.back().get();
    }

    // Whether the process holds the meter's line open.
    bool HoldsLine(const QProcess* program) const {
        const QDir fds(QStringLiteral("/proc/%1/fd").arg(program->processId()));
        for (const QFileInfo& fd : fds.entryInfoList(QDir::Files | QDir::System))
            if (fd.symLinkTarget() == m_device) return true;
        return false;
    }

    static void Stop(QProcess& process) {
        if (process.state() == QProcess::NotRunning) return;
        process.kill();
        process.waitForFinished(kPatience);
    }

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void cleanup() {
        for (auto& program : m_programs) Stop(*program);
        m_programs.clear();
        m_line.reset();
        if (m_meter.state() != QProcess::NotRunning) {
            m_meter.terminate();
            if (!m_meter.waitForFinished(kPatience)) m_meter.kill();
            m_meter.waitForFinished(kPatience);
        }
        m_dir.reset();
    }

    void automaticWritingStoresEachPersonsRecord() {
        // Manual mode, automatic writing on with a delay of one second.
        QVERIFY(MakeProgramFolder(R"("4800,E,8,1",1,0,1,1)", kHeader + kCaptions + kBlank));
        // Each person's frames come together, so each person is written once; the pause
        // between people is well beyond the delay.
        QVERIFY(
            StartMeter("wait GO\n"
                       "send SY 170.0\n"
                       "send TZ 60.0\n"
                       "pause 4000\n"
                       "send ZK 80.3\n"
                       "send SY 151.0\n"
                       "send TZ 42.8\n"
                       "pause 4000\n"
                       "send SY 150.0\n"
                       "send TZ 49.5\n"));
        QProcess* hakaron = StartProgram();
        QVERIFY(hakaron);
        QTRY_VERIFY_WITH_TIMEOUT(HoldsLine(hakaron), kPatience);
        QVERIFY(Release("GO"));

        QTRY_VERIFY_WITH_TIMEOUT(RecordFileBytes().size() >= 6 * kRecordLength, kPlayTime);
        QCOMPARE(hakaron->state(), QProcess::Running);
        Stop(*hakaron);

        // Values are stored as the meter sent them (seven characters, right-aligned); the
        // indices follow from height and weight.
        const QList<QByteArray> expected{
            kHeader,
            kCaptions,
            Record({},
                   {"", "  170.0", "20.8", "   60.0", "63.58", "63.24", "63.70", "-5.12", "-5.81"}),
            Record({}, {"   80.3", "  151.0", "18.8", "   42.8", "50.16", "41.74", "42.85", "2.53",
                        "-0.13"}),
            Record({},
                   {"", "  150.0", "22", "   49.5", "49.50", "40.85", "41.95", "21.16", "18.00"}),
            kBlank,
        };
        const QByteArray bytes = RecordFileBytes();
        QCOMPARE(bytes.size(), expected.size() * kRecordLength);
        for (qsizetype r = 0; r < expected.size(); ++r)
            QCOMPARE(bytes.mid(r * kRecordLength, kRecordLength), expected[r]);
    }
};

QTEST_GUILESS_MAIN(TestHakaron)
#include "tst_hakaron.moc"
