#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <csignal>
#include <memory>

#include "FileBytes.h"

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
// 170 cm / 60 kg and 151 cm / 42.8 kg, as the program writes them.
const QByteArray kPerson170 =
    Record({}, {"", "  170.0", "20.8", "   60.0", "63.58", "63.24", "63.70", "-5.12", "-5.81"});
const QByteArray kPerson151 =
    Record({}, {"", "  151.0", "18.8", "   42.8", "50.16", "41.74", "42.85", "2.53", "-0.13"});

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

// Just enough of Xlib, loaded at run time, to see the windows a program shows on a virtual
// display and to close one the way a window manager's close box does.
class XDisplay {
public:
    using Window = unsigned long;

    explicit XDisplay(const QByteArray& name) : m_lib(QStringLiteral("X11"), 6) {
        if (!m_lib.load()) return;
        m_open = Resolve<void* (*)(const char*)>("XOpenDisplay");
        m_close = Resolve<int (*)(void*)>("XCloseDisplay");
        m_root = Resolve<Window (*)(void*)>("XDefaultRootWindow");
        m_queryTree =
            Resolve<int (*)(void*, Window, Window*, Window*, Window**, unsigned*)>("XQueryTree");
        m_free = Resolve<int (*)(void*)>("XFree");
        m_atom = Resolve<Atom (*)(void*, const char*, int)>("XInternAtom");
        m_property =
            Resolve<int (*)(void*, Window, Atom, long, long, int, Atom, Atom*, int*, unsigned long*,
                            unsigned long*, unsigned char**)>("XGetWindowProperty");
        m_send = Resolve<int (*)(void*, Window, int, long, void*)>("XSendEvent");
        m_flush = Resolve<int (*)(void*)>("XFlush");
        using ErrorHandler = int (*)(void*, void*);
        const auto setErrorHandler = Resolve<ErrorHandler (*)(ErrorHandler)>("XSetErrorHandler");
        if (m_open && m_close && m_root && m_queryTree && m_free && m_atom && m_property &&
            m_send && m_flush && setErrorHandler) {
            // A window may go (the splash closing) between listing it and reading its
            // properties; Xlib's own handler would end the test there, leaving its programs
            // running.
            setErrorHandler([](void*, void*) { return 0; });
            m_display = m_open(name.constData());
        }
    }
    ~XDisplay() {
        if (m_display) m_close(m_display);
    }
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    bool IsOpen() const { return m_display != nullptr; }

    // The top-level windows of process `pid`, by title.
    QMap<Window, QString> WindowsOf(qint64 pid) const {
        QMap<Window, QString> windows;
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (!m_queryTree(m_display, m_root(m_display), &root, &parent, &children, &count))
            return windows;
        for (unsigned i = 0; i < count; ++i) {
            const QByteArray owner = Property(children[i], "_NET_WM_PID");
            if (owner.size() < qsizetype(sizeof(long))) continue;
            if (*reinterpret_cast<const long*>(owner.constData()) != pid) continue;
            windows.insert(children[i], QString::fromUtf8(Property(children[i], "_NET_WM_NAME")));
        }
        if (children) m_free(children);
        return windows;
    }

    // Asks the window to close, as a window manager does (WM_DELETE_WINDOW).
    bool Close(Window window) const {
        struct {
            int type = 33;  // ClientMessage
            unsigned long serial = 0;
            int sendEvent = 1;
            void* display = nullptr;
            Window window = 0;
            Atom messageType = 0;
            int format = 32;
            long data[5] = {};
            long pad[12] = {};  // the rest of an XEvent
        } event;
        event.display = m_display;
        event.window = window;
        event.messageType = m_atom(m_display, "WM_PROTOCOLS", 0);
        event.data[0] = long(m_atom(m_display, "WM_DELETE_WINDOW", 0));
        const bool sent = m_send(m_display, window, 0, 0, &event) != 0;
        m_flush(m_display);
        return sent;
    }

private:
    using Atom = unsigned long;

    template <typename F>
    F Resolve(const char* symbol) {
        return reinterpret_cast<F>(m_lib.resolve(symbol));
    }

    QByteArray Property(Window window, const char* name) const {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        const Atom anyType = 0;
        if (m_property(m_display, window, m_atom(m_display, name, 0), 0, 1024, 0, anyType, &type,
                       &format, &items, &after, &data) != 0 ||
            !data)
            return {};
        // 32-bit items come as longs.
        const qsizetype size = format == 32   ? qsizetype(items * sizeof(long))
                               : format == 16 ? qsizetype(items * 2)
                                              : qsizetype(items);
        const QByteArray bytes(reinterpret_cast<const char*>(data), size);
        m_free(data);
        return bytes;
    }

    QLibrary m_lib;
    void* m_display = nullptr;
    void* (*m_open)(const char*) = nullptr;
    int (*m_close)(void*) = nullptr;
    Window (*m_root)(void*) = nullptr;
    int (*m_queryTree)(void*, Window, Window*, Window*, Window**, unsigned*) = nullptr;
    int (*m_free)(void*) = nullptr;
    Atom (*m_atom)(void*, const char*, int) = nullptr;
    int (*m_property)(void*, Window, Atom, long, long, int, Atom, Atom*, int*, unsigned long*,
                      unsigned long*, unsigned char**) = nullptr;
    int (*m_send)(void*, Window, int, long, void*) = nullptr;
    int (*m_flush)(void*) = nullptr;
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
    QProcess m_xvfb;

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
        if (!QFile::copy(QStringLiteral(HAKARON_BIN), ProgramPath()) ||
            !QFile::copy(
                QStringLiteral(HAKARON_WINDOW_LIBRARY),
                dir.filePath(QFileInfo(QStringLiteral(HAKARON_WINDOW_LIBRARY)).fileName())))
            return false;
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
        m_line = std::make_unique<Fd>(::open(QFile::encodeName(m_device).constData(),
                                             O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
        return m_line->get() >= 0;
    }

    // Sends the command `code` as if the program had, which a waiting script step takes.
    bool Release(const QByteArray& code) {
        const QByteArray frame = '\x02' + code + '\x03';
        return ::write(m_line->get(), frame.constData(), frame.size()) == frame.size();
    }

    // Starts a virtual X display; returns its name, e.g. ":5".
    QByteArray StartXvfb() {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (xvfb.isEmpty()) return {};
        // -displayfd 1: the server picks a free display and prints its number when ready.
        m_xvfb.start(
            xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                   QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                   QStringLiteral("1024x768x24")});
        if (!m_xvfb.waitForStarted(kPatience)) return {};
        while (!m_xvfb.canReadLine())
            if (!m_xvfb.waitForReadyRead(kPatience)) return {};
        return ':' + m_xvfb.readLine().trimmed();
    }

    // Starts a copy of the program, offscreen or on the X display `display`.
    QProcess* StartProgram(const QByteArray& display = {}) {
        auto program = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (display.isEmpty()) {
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        } else {
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
            env.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(display));
        }
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

    // Qt's serial port leaves its lock file behind when killed. The same user takes a dead
    // process's lock over, another user could not: it goes, so that the suite runs as any user.
    static void RemoveSerialLockOf(const QString& device) {
        const QString name =
            QStringLiteral("LCK..") + QString(device).remove(u"/dev/"_qs).replace(u'/', u'_');
        for (const QString& folder : {QStringLiteral("/var/lock"), QDir::tempPath()})
            QFile::remove(QDir(folder).filePath(name));
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
        if (!m_device.isEmpty()) RemoveSerialLockOf(m_device);
        m_line.reset();
        if (m_meter.state() != QProcess::NotRunning) {
            m_meter.terminate();
            if (!m_meter.waitForFinished(kPatience)) m_meter.kill();
            m_meter.waitForFinished(kPatience);
        }
        Stop(m_xvfb);
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

    void secondCopyRefusesToStart() {
        QVERIFY(MakeProgramFolder(R"("4800,E,8,1",1,0,1,1)", kHeader + kCaptions + kBlank));
        QVERIFY(
            StartMeter("wait GO\n"
                       "send SY 170.0\n"
                       "send TZ 60.0\n"
                       "wait G2\n"
                       "send SY 151.0\n"
                       "send TZ 42.8\n"));
        const QByteArray display = StartXvfb();
        QVERIFY2(!display.isEmpty(), "Xvfb (package xvfb) is needed to see the refusal");
        const XDisplay x(display);
        QVERIFY2(x.IsOpen(), display.constData());

        QProcess* first = StartProgram(display);
        QVERIFY(first);
        QTRY_VERIFY_WITH_TIMEOUT(HoldsLine(first), kPatience);
        QTRY_VERIFY_WITH_TIMEOUT(!x.WindowsOf(first->processId()).isEmpty(), kPatience);

        // The same program path again: a warning box titled "Hakaron" (beside the splash),
        // never the main window.
        QProcess* second = StartProgram(display);
        QVERIFY(second);
        const auto boxOf = [&x, second] {
            const auto windows = x.WindowsOf(second->processId());
            for (auto w = windows.cbegin(); w != windows.cend(); ++w)
                if (w.value() == u"Hakaron") return w.key();
            return XDisplay::Window(0);
        };
        QTRY_VERIFY_WITH_TIMEOUT(boxOf() != 0, kPatience);
        const QStringList titles = x.WindowsOf(second->processId()).values();
        QVERIFY2(std::none_of(titles.cbegin(), titles.cend(),
                              [](const QString& t) { return t.contains(u"ver."); }),
                 qPrintable(titles.join(u" | ")));

        // While the box waits, the first copy keeps the line and goes on writing.
        QVERIFY(Release("GO"));
        QTRY_VERIFY_WITH_TIMEOUT(RecordFileBytes().size() >= 4 * kRecordLength, kPatience);
        QCOMPARE(second->state(), QProcess::Running);
        QVERIFY(!HoldsLine(second));
        QCOMPARE(RecordFileBytes(), kHeader + kCaptions + kPerson170 + kBlank);

        // Dismissing the box ends the second copy.
        QVERIFY(x.Close(boxOf()));
        QVERIFY(second->waitForFinished(kPatience));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);

        // The first copy is untouched by all this.
        QCOMPARE(first->state(), QProcess::Running);
        QVERIFY(Release("G2"));
        QTRY_VERIFY_WITH_TIMEOUT(RecordFileBytes().size() >= 5 * kRecordLength, kPatience);
        QCOMPARE(RecordFileBytes(), kHeader + kCaptions + kPerson170 + kPerson151 + kBlank);

        // Once the first copy is closed, a new copy starts normally and takes the line.
        const auto mainWindows = x.WindowsOf(first->processId()).keys();
        QVERIFY(!mainWindows.isEmpty());
        for (const XDisplay::Window w : mainWindows) x.Close(w);
        QVERIFY(first->waitForFinished(kPatience));
        QCOMPARE(first->exitStatus(), QProcess::NormalExit);
        QProcess* third = StartProgram();
        QVERIFY(third);
        QTRY_VERIFY_WITH_TIMEOUT(HoldsLine(third), kPatience);
        QCOMPARE(third->state(), QProcess::Running);
    }

    // Every file the program opens during a reading, seen by strace: the machine's own serial
    // ports (/dev/ttyS*, the first often its console) are never among them.
    void theMachinesSerialPortsAreNeverOpened() {
        const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
        if (strace.isEmpty()) QSKIP("strace is not installed (scripts/ensure-deps.sh installs it)");
        QVERIFY(MakeProgramFolder(R"("4800,E,8,1",1,0,1,1)", kHeader + kCaptions + kBlank));
        QVERIFY(StartMeter("wait GO\nsend SY 170.0\nsend TZ 60.0\n"));
        const QString log = m_dir->filePath(QStringLiteral("opened.txt"));
        QProcess traced;
        traced.setWorkingDirectory(m_dir->path());
        traced.start(strace, {"-f", "-qq", "-e", "trace=open,openat,creat", "-o", log,
                              ProgramPath(), "-platform", "offscreen"});
        QTRY_VERIFY_WITH_TIMEOUT(FileBytes(log).contains(QFile::encodeName(m_device)), kPatience);
        QVERIFY(Release("GO"));
        QTRY_VERIFY_WITH_TIMEOUT(RecordFileBytes().size() >= 4 * kRecordLength, kPlayTime);
        // The program ends first, strace with it.
        QFile children(QStringLiteral("/proc/%1/task/%1/children").arg(traced.processId()));
        QVERIFY(children.open(QIODevice::ReadOnly));
        ::kill(pid_t(children.readAll().trimmed().split(' ').first().toInt()), SIGKILL);
        QVERIFY(traced.waitForFinished(kPatience));
        QVERIFY2(!FileBytes(log).contains("/dev/ttyS"), FileBytes(log).constData());
    }

    // kill -9 at any moment of automatic writing: the file keeps whole records, and every
    // person stored before the kill is stored still.
    void killedDuringAutomaticWritingKeepsEveryStoredRecord() {
        QByteArray script = "wait GO\n";
        for (int person = 0; person < 40; ++person)
            script += QByteArray("send SY 1") + QByteArray::number(50 + person) + ".0\nsend TZ 4" +
                      QByteArray::number(person % 10) + ".5\npause 1100\n";
        for (int round = 0; round < 4; ++round) {
            if (round > 0) {
                cleanup();
                init();
            }
            QVERIFY(MakeProgramFolder(R"("4800,E,8,1",1,0,1,1)", kHeader + kCaptions + kBlank));
            QVERIFY(StartMeter(script));
            QProcess* hakaron = StartProgram();
            QVERIFY(hakaron);
            QTRY_VERIFY_WITH_TIMEOUT(HoldsLine(hakaron), kPatience);
            QVERIFY(Release("GO"));
            // Past the first person, then at a different moment of the write cycle each round.
            QTRY_VERIFY_WITH_TIMEOUT(RecordFileBytes().size() >= 5 * kRecordLength, kPlayTime);
            QTest::qWait(150 + 330 * round);
            const QByteArray before = RecordFileBytes();
            ::kill(pid_t(hakaron->processId()), SIGKILL);
            QVERIFY(hakaron->waitForFinished(kPatience));
            const QByteArray after = RecordFileBytes();
            QCOMPARE(after.size() % kRecordLength, 0);
            for (qsizetype at = 0; at + kRecordLength <= before.size(); at += kRecordLength)
                if (before.mid(at, kRecordLength) != kBlank)
                    QCOMPARE(after.mid(at, kRecordLength), before.mid(at, kRecordLength));
        }
    }
};

QTEST_GUILESS_MAIN(TestHakaron)
#include "tst_hakaron.moc"
