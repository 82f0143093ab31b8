// A whole measuring day: the real program on a virtual X display, a meter played on a pty,
// the nurse at the keyboard (xdotool), and the day's mishaps: the meter's cable pulled, the
// program killed, the disk full, the program closed and started again, and the nurse's slips:
// the next pupil on the meter before the last was written, a name typed while a write waits,
// Ctrl+S after a restart, the link's notice left open while pupils pass. At the end every
// pupil's record must be in its place, byte for byte, and every reading the meter sent must be
// in its pupil's record or in the day's reading journal as not written.
//
//   soak_day [--pupils N] [--unplugs U] [--crashes K] [--full-disks D] [--slips L]
//            [--manual-writing] [--seed S]
//
// SOAK_TRACE=1 prints each pupil as it is measured.

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <termios.h>
#include <unistd.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>

#include "Cp932.h"
#include "CsvLines.h"
#include "MeasureRecord.h"
#include "ReadingJournal.h"
#include "mdlStandard.h"

namespace {

constexpr qsizetype kRecord = 150;
constexpr int kPatience = 20000;  // ms; the machine is shared
// A key reaches the program through the X server, a reading through the pty: a reading sent
// right after a key can be read first. The nurse waits this long after changing the number.
constexpr int kSettle = 1000;
// Where the name boxes are in the main window: the first one's middle, and the step down.
constexpr int kNameBoxTop = 122;
constexpr int kNameBoxStep = 29;
constexpr int kNoticeHeight = 48;  // the notice bar's, with the spacing below it
const QString kMainTitle = QStringLiteral("Hakaron ver.");
const QString kBoxTitle = QStringLiteral("Hakaron");

void Sleep(int ms) {
    QThread::msleep(ms);
}

// What goes wrong with a pupil, and when.
enum class Hazard {
    None,
    UnplugBefore,      // the cable is out when the pupil steps on: the reading is lost
    UnplugBetween,     // out between height and weight (a pupil written by Ctrl+S)
    UnplugPending,     // out while automatic writing waits to write
    CrashBefore,       // the program dies before the pupil steps on
    CrashAfterFrames,  // dies with the values on screen, unsaved
    CrashAfterSave,    // dies right after Ctrl+S: written or not, whichever it was
    FullDisk,          // the write fails, is answered and done again
    Exit,              // the nurse closes the program (終了) and starts it again
    NextTooSoon,       // the next pupil steps on before this one was written
    TypeName,          // the nurse types in a name box while the write waits, pauses, Enter
    SaveAfterRestart,  // a restart shows No. 1; the reading and Ctrl+S would overwrite it
    NoticeOpen,        // the cable out and back; nobody touches the program for three pupils
};

struct Pupil {
    QString Name, Class, Number;
    QByteArray Height, Weight;  // the meter's readings, "170.4"
    bool AutoWrite = false;
};

// Japanese names; every seventh is longer than the 10 full-width characters a field holds.
Pupil MakePupil(int k, quint32 seed) {
    static const QStringList family{
        u"佐藤"_qs,   u"鈴木"_qs, u"高橋"_qs,     u"田中"_qs,  u"伊藤"_qs, u"渡辺"_qs,
        u"山本"_qs,   u"中村"_qs, u"小林"_qs,     u"加藤"_qs,  u"吉田"_qs, u"山田"_qs,
        u"佐々木"_qs, u"山口"_qs, u"松本"_qs,     u"井上"_qs,  u"木村"_qs, u"林"_qs,
        u"斎藤"_qs,   u"清水"_qs, u"勅使河原"_qs, u"長谷川"_qs};
    static const QStringList given{u"太郎"_qs, u"花子"_qs, u"翔"_qs,   u"陽菜"_qs,  u"蓮"_qs,
                                   u"結衣"_qs, u"大翔"_qs, u"美咲"_qs, u"悠真"_qs,  u"さくら"_qs,
                                   u"湊"_qs,   u"葵"_qs,   u"健一"_qs, u"由美子"_qs};
    std::mt19937 random(seed * 7919u + quint32(k));
    Pupil p;
    p.Name = family[random() % family.size()] + u'　' + given[random() % given.size()];
    if (k % 7 == 0) p.Name = u"アレクサンドラ・"_qs + p.Name + u"・ミハイロヴナ"_qs;
    p.Class = QStringLiteral("%1年%2組").arg(1 + k % 6).arg(1 + (k / 6) % 4);
    p.Number = QStringLiteral("No.%1").arg(k);
    const int height = 1000 + int(random() % 900);             // tenths of a cm: 100.0-189.9
    const int weight = height / 5 - 80 + int(random() % 400);  // tenths of a kg
    p.Height = QByteArray::number(height / 10.0, 'f', 1);
    p.Weight = QByteArray::number(weight / 10.0, 'f', 1);
    p.AutoWrite = random() % 5 == 0;
    return p;
}

// Run in a child before it starts: a driver stopped from outside (a CTest timeout, Ctrl+C)
// takes its display and program with it.
void DieWithDriver() {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
}

// Where Qt's serial port keeps the lock of `device` when /var/lock is writable.
QString SerialLockPath(const QString& device) {
    return u"/var/lock/LCK.."_qs + QString(device).remove(u"/dev/"_qs).replace(u'/', u'_');
}

QByteArray Frame(const char* code, const QByteArray& value) {
    return '\x02' + QByteArray(code) + ',' + value.rightJustified(7, ' ') + '\x03';
}

// The record the program must write for pupil k: the roster's items, the readings as the
// meter sent them, the indices as the program computes them.
QByteArray ExpectedRecord(const Pupil& p) {
    MeasureRecord r;
    r.SubLabel1 = p.Name;
    r.SubLabel2 = p.Class;
    r.SubLabel3 = p.Number;
    const QString height = QString::fromLatin1(p.Height.rightJustified(7, ' '));
    const QString weight = QString::fromLatin1(p.Weight.rightJustified(7, ' '));
    const WeightIndices i = ComputeWeightIndices(height, weight);
    r.Values.Height = height;
    r.Values.Weight = weight;
    r.Values.Bmi = i.Bmi;
    r.Values.BmiStdWeight = i.BmiStdWeight;
    r.Values.HibiStdWeightMale = i.HibiStdWeightMale;
    r.Values.HibiStdWeightFemale = i.HibiStdWeightFemale;
    r.Values.HibiObesityMale = i.HibiObesityMale;
    r.Values.HibiObesityFemale = i.HibiObesityFemale;
    return r.Encode();
}

// The meter's end of a pty, with the slave held open too so that the line outlives the
// program and the driver can see when the program has read what was sent.
class Line {
public:
    Line() {
        // Close-on-exec: a copy in the program would keep the line alive after an unplug.
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) return;
        m_device = QString::fromLocal8Bit(::ptsname(m_master));
        m_slave = ::open(::ptsname(m_master), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        termios t{};
        if (m_slave >= 0 && ::tcgetattr(m_slave, &t) == 0) {
            ::cfmakeraw(&t);
            ::tcsetattr(m_slave, TCSANOW, &t);
        }
    }
    ~Line() {
        if (m_slave >= 0) ::close(m_slave);
        if (m_master >= 0) ::close(m_master);
    }
    Line(const Line&) = delete;
    Line& operator=(const Line&) = delete;

    bool IsOpen() const { return m_slave >= 0; }
    // Before a program starts: a killed program cannot give up its exclusive hold of the line
    // (our own open end keeps it alive, and a normal user's next program could not open the
    // line), and the speed goes back to the pty's own, so that Configured() waits for it.
    void Reset() const {
        ::ioctl(m_slave, TIOCNXCL);
        termios t{};
        if (::tcgetattr(m_slave, &t) == 0 && ::cfsetspeed(&t, B38400) == 0)
            ::tcsetattr(m_slave, TCSANOW, &t);
    }
    // Whether the program has set its line speed (4800): it has opened the line completely.
    bool Configured() const {
        termios t{};
        return ::tcgetattr(m_slave, &t) == 0 && ::cfgetospeed(&t) == B4800;
    }
    QString Device() const { return m_device; }

    bool Send(const QByteArray& bytes) {
        char drain[256];
        while (::read(m_master, drain, sizeof drain) > 0) {
        }  // whatever the program sent
        return ::write(m_master, bytes.constData(), bytes.size()) == bytes.size();
    }
    // Whether the program has read everything sent.
    bool Consumed() const {
        int waiting = 0;
        return ::ioctl(m_slave, FIONREAD, &waiting) == 0 && waiting == 0;
    }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_device;
};

struct Options {
    int Pupils = 1500, Unplugs = 20, Crashes = 5, FullDisks = 2, Slips = 8;
    bool ManualWriting = false;  // automatic writing off: every pupil written by Ctrl+S
    quint32 Seed = 1;
};

// A reading the meter sent: pupil k's height or weight.
struct SentReading {
    int Pupil = 0;
    bool Height = true;
    QByteArray Value;
};

// The pupil's readings as the meter gave them when the pupil moved: a little off.
Pupil Moved(Pupil p) {
    p.Height = QByteArray::number(p.Height.toDouble() + 0.3, 'f', 1);
    p.Weight = QByteArray::number(p.Weight.toDouble() + 0.2, 'f', 1);
    return p;
}

class Day {
public:
    Day(const Options& options, const QString& folder)
        : m_o(options), m_dir(folder), m_random(options.Seed) {}
    ~Day() {
        StopProgram();
        if (m_xvfb.state() != QProcess::NotRunning) {
            m_xvfb.kill();
            m_xvfb.waitForFinished(kPatience);
        }
    }
    int Run();

private:
    [[noreturn]] void Fail(const QString& what);
    void Check(bool ok, const QString& what) {
        if (!ok) Fail(what);
    }
    QString Path(const QString& name) const { return m_dir.filePath(name); }

    bool Prepare();
    void StartXvfb();
    void StartProgram();
    void StopProgram();
    void WaitForLine(const QString& failure);
    void Replug();
    void LinkPort(const QString& device);
    // The nurse's key that changes the number, given time to act before the next reading.
    void MoveKeys(const QString& key);
    // The picture of the number box, to see the number change.
    QByteArray NumberBox();
    QByteArray Record(int k) const;
    bool Measured(int k) const { return Record(k) == m_expected[k]; }
    // Whether No. k holds any value.
    bool IsWritten(int k) const { return !Record(k).mid(60).trimmed().isEmpty(); }
    void WaitRecord(int k);
    QByteArray Xdotool(const QStringList& arguments);
    // The program's visible windows titled `title` (main window: titled from `title` on).
    QStringList Windows(const QString& title);
    QString WaitWindow(const QString& title);
    void Keys(const QString& window, const QStringList& keys);
    void MainKeys(const QStringList& keys) { Keys(WaitWindow(kMainTitle), keys); }
    void AnswerBox(const QString& key = u"Return"_qs);
    void SendReadings(const Pupil& p, bool height = true, bool weight = true, int pupil = 0);
    void WaitLineClosed(const QString& device);
    void ClickNameBox(int box);
    int NoticeOffset();
    void CloseNotice();
    void LoadRoster();
    void Crash();
    void Unplug();
    bool MeasurePupil(int k, Hazard hazard);
    bool Slip(int k, Hazard hazard);
    void Restart();
    int JournalCheck(int& journaled);
    int FinalCheck(double minutes);

    Options m_o;
    QDir m_dir;
    QProcess m_xvfb;
    QString m_display;
    std::unique_ptr<QProcess> m_program;
    std::unique_ptr<Line> m_line;
    QList<Pupil> m_pupils;         // index k: pupil k (0 unused)
    QList<QByteArray> m_expected;  // index k: pupil k's record
    QList<SentReading> m_sent;     // every reading the meter sent, in order
    QMap<int, Hazard> m_hazards;   // the day's mishaps still to come, by pupil
    QList<bool> m_onDisplay;       // index k: pupil k's readings already sent and shown
    QSet<int> m_done;              // pupils a slip before measured and wrote already
    int m_replugs = 0, m_crashes = 0, m_fullDisks = 0, m_slips = 0;
    std::mt19937 m_random;
};

void Day::Fail(const QString& what) {
    std::fprintf(stderr, "soak_day: %s\n", qPrintable(what));
    for (const QString& window : Windows({}))
        std::fprintf(stderr, "soak_day: window %s %s", qPrintable(window),
                     Xdotool({u"getwindowname"_qs, window}).constData());
    if (!m_display.isEmpty()) {
        const QString shot = Path(u"failure.png"_qs);
        QProcess::execute(u"import"_qs,
                          {u"-display"_qs, m_display, u"-window"_qs, u"root"_qs, shot});
        std::fprintf(stderr, "soak_day: screenshot %s\n", qPrintable(shot));
    }
    std::fprintf(stderr, "soak_day: program folder kept: %s\n", qPrintable(m_dir.path()));
    StopProgram();
    m_xvfb.kill();
    m_xvfb.waitForFinished(kPatience);
    std::exit(1);
}

bool Day::Prepare() {
    const QString windows = QStringLiteral(HAKARON_WINDOW_LIBRARY);
    if (!QFile::copy(QStringLiteral(HAKARON_BIN), Path(u"hakaron"_qs)) ||
        !QFile::copy(windows, Path(QFileInfo(windows).fileName())))
        return false;
    for (const char* sub : {"Org", "Name_List", "ports", "tmp"})
        if (!m_dir.mkpath(QString::fromLatin1(sub))) return false;
    // COM1, manual mode, automatic writing on (unless told) with a delay of two seconds: on a
    // busy machine a Ctrl+S can take more than one to arrive, and after the automatic write it
    // would write the next number blank and move on.
    QFile settings(Path(u"Org/user.dat"_qs));
    const QByteArray line =
        m_o.ManualWriting ? "\"4800,E,8,1\",1,0,0,2\r\n" : "\"4800,E,8,1\",1,0,1,2\r\n";
    if (!settings.open(QIODevice::WriteOnly) || settings.write(line) < 0) return false;
    settings.close();
    QByteArray roster;
    m_pupils.append(Pupil{});
    m_expected.append(QByteArray());
    for (int k = 1; k <= m_o.Pupils; ++k) {
        Pupil p = MakePupil(k, m_o.Seed);
        if (m_o.ManualWriting) p.AutoWrite = false;
        roster += '"' + Cp932::Encode(p.Name) + "\",\"" + Cp932::Encode(p.Class) + "\",\"" +
                  Cp932::Encode(p.Number) + "\"\r\n";
        m_pupils.append(p);
        m_expected.append(ExpectedRecord(p));
    }
    QFile list(Path(u"Name_List/day.nml"_qs));
    return list.open(QIODevice::WriteOnly) && list.write(roster) == roster.size();
}

// A display of our own, at a number of its own: a server that finds its number taken ends,
// and the next number is tried. No reset when the program, its only client, goes: a program
// started during a reset could not connect.
void Day::StartXvfb() {
    for (int attempt = 0; attempt < 10; ++attempt) {
        m_display = u':' + QString::number(200 + (::getpid() * 7 + attempt * 13) % 700);
        m_xvfb.setChildProcessModifier(DieWithDriver);
        m_xvfb.start(u"Xvfb"_qs, {m_display, u"-noreset"_qs, u"-nolisten"_qs, u"tcp"_qs,
                                  u"-screen"_qs, u"0"_qs, u"1024x768x24"_qs});
        Check(m_xvfb.waitForStarted(kPatience), u"Xvfb does not start"_qs);
        for (int wait = 0; wait < 50 && m_xvfb.state() == QProcess::Running; ++wait) {
            if (!Xdotool({u"getdisplaygeometry"_qs}).isEmpty()) return;
            Sleep(100);
        }
        m_xvfb.kill();
        m_xvfb.waitForFinished(kPatience);
    }
    m_display.clear();
    Fail(u"no virtual display"_qs);
}

// The program on the display, holding the line.
void Day::StartProgram() {
    m_line->Reset();
    m_program = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"QT_QPA_PLATFORM"_qs, u"xcb"_qs);
    env.insert(u"DISPLAY"_qs, m_display);
    env.insert(u"TMPDIR"_qs, Path(u"tmp"_qs));
    m_program->setProcessEnvironment(env);
    m_program->setWorkingDirectory(m_dir.path());
    m_program->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_program->setChildProcessModifier(DieWithDriver);
    m_program->start(Path(u"hakaron"_qs), {});
    Check(m_program->waitForStarted(kPatience), u"hakaron does not start"_qs);
    WaitWindow(kMainTitle);
    WaitForLine(u"hakaron does not open the line"_qs);
}

void Day::WaitForLine(const QString& failure) {
    QElapsedTimer t;
    t.start();
    const QString fds = QStringLiteral("/proc/%1/fd").arg(m_program->processId());
    for (;;) {
        for (const QFileInfo& fd : QDir(fds).entryInfoList(QDir::Files | QDir::System))
            if (fd.symLinkTarget() == m_line->Device() && m_line->Configured()) return;
        Check(t.elapsed() < kPatience, failure);
        Sleep(50);
    }
}

void Day::StopProgram() {
    if (!m_program || m_program->state() == QProcess::NotRunning) return;
    m_program->kill();
    m_program->waitForFinished(kPatience);
    // The serial port's lock file outlives a killed program; one left by root would keep
    // a normal user's program off the same pty later.
    if (m_line) QFile::remove(SerialLockPath(m_line->Device()));
}

// A new pty where the old one was: ports/COM1 points at it.
void Day::Replug() {
    // A pty whose lock file someone else left behind (a killed program of another user)
    // cannot be opened by the program: such ptys are held aside until one is free.
    std::vector<std::unique_ptr<Line>> aside;
    m_line = std::make_unique<Line>();
    while (m_line->IsOpen() && QFile::exists(SerialLockPath(m_line->Device())) &&
           aside.size() < 50) {
        aside.push_back(std::move(m_line));
        m_line = std::make_unique<Line>();
    }
    Check(m_line->IsOpen(), u"no pty"_qs);
    LinkPort(m_line->Device());
}

// ports/COM1 points at `device`, replaced in one step.
void Day::LinkPort(const QString& device) {
    const QString link = Path(u"ports/COM1"_qs), fresh = Path(u"ports/COM1.new"_qs);
    QFile::remove(fresh);
    Check(QFile::link(device, fresh) && ::rename(QFile::encodeName(fresh).constData(),
                                                 QFile::encodeName(link).constData()) == 0,
          u"ports/COM1 cannot be linked"_qs);
}

QByteArray Day::Record(int k) const {
    QFile file(Path(u"Org/zqmtemp.rdm"_qs));
    if (!file.open(QIODevice::ReadOnly) || !file.seek((k + 1) * kRecord)) return {};
    return file.read(kRecord);
}

void Day::WaitRecord(int k) {
    QElapsedTimer t;
    t.start();
    while (!Measured(k)) {
        if (t.elapsed() > kPatience)
            Fail(QStringLiteral("No.%1 not written as expected:\n  want [%2]\n  have [%3]")
                     .arg(k)
                     .arg(Cp932::Decode(m_expected[k]), Cp932::Decode(Record(k))));
        Sleep(20);
    }
}

QByteArray Day::Xdotool(const QStringList& arguments) {
    QProcess x;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"DISPLAY"_qs, m_display);
    x.setProcessEnvironment(env);
    x.start(u"xdotool"_qs, arguments);
    if (!x.waitForFinished(kPatience)) x.kill();
    return x.readAllStandardOutput();
}

QStringList Day::Windows(const QString& title) {
    if (!m_program || m_program->state() != QProcess::Running) return {};
    QStringList found;
    for (const QString& window :
         QString::fromLatin1(
             Xdotool({u"search"_qs, u"--onlyvisible"_qs, u"--pid"_qs,
                      QString::number(m_program->processId()), u"--name"_qs, u"."_qs}))
             .split(u'\n', Qt::SkipEmptyParts)) {
        const QString name = QString::fromUtf8(Xdotool({u"getwindowname"_qs, window})).trimmed();
        if (title.isEmpty() || name == title || (title == kMainTitle && name.startsWith(title)))
            found << window;
    }
    return found;
}

QString Day::WaitWindow(const QString& title) {
    QElapsedTimer t;
    t.start();
    for (;;) {
        const QStringList found = Windows(title);
        if (!found.isEmpty()) return found.last();
        if (t.elapsed() > kPatience) return {};
        Sleep(50);
    }
}

void Day::Keys(const QString& window, const QStringList& keys) {
    Check(!window.isEmpty(), u"no window to type into"_qs);
    Xdotool(QStringList{u"windowfocus"_qs, u"--sync"_qs, window, u"key"_qs, u"--clearmodifiers"_qs,
                        u"--delay"_qs, u"30"_qs} +
            keys);
}

// The message box the program shows, answered.
void Day::AnswerBox(const QString& key) {
    const QString box = WaitWindow(kBoxTitle);
    Check(!box.isEmpty(), u"the expected message box does not show"_qs);
    Keys(box, {key});
    QElapsedTimer t;
    t.start();
    while (Windows(kBoxTitle).contains(box)) {
        Check(t.elapsed() < kPatience, u"the message box stays"_qs);
        Sleep(30);
    }
}

// The readings sent (pupil `pupil`'s, when not 0); returns once the program has read them.
void Day::SendReadings(const Pupil& p, bool height, bool weight, int pupil) {
    if (pupil > 0) {
        if (height) m_sent.append({pupil, true, p.Height});
        if (weight) m_sent.append({pupil, false, p.Weight});
    }
    QByteArray bytes;
    if (height) bytes += Frame("SY", p.Height);
    if (weight) bytes += Frame("TZ", p.Weight);
    Check(m_line->Send(bytes), u"the meter cannot send"_qs);
    QElapsedTimer t;
    t.start();
    while (!m_line->Consumed()) {
        Check(t.elapsed() < kPatience, u"the program does not read the meter"_qs);
        Sleep(5);
    }
    Sleep(30);  // the frames decoded and shown
}

// File menu, 名簿データを呼び出す, the one list, ロード, yes twice, OK.
void Day::LoadRoster() {
    MainKeys({u"alt+f"_qs, u"l"_qs});
    const QString chooser = WaitWindow(u"名簿データを読み出す"_qs);
    // The chooser opens with the focus on its buttons: the list's first row is clicked.
    Xdotool({u"mousemove"_qs, u"--window"_qs, chooser, u"40"_qs, u"42"_qs, u"click"_qs, u"1"_qs});
    Keys(chooser, {u"Return"_qs});
    AnswerBox(u"y"_qs);
    AnswerBox(u"y"_qs);
    AnswerBox();
    WaitForLine(u"the link stays offline after loading the roster"_qs);
    QFileInfo file(Path(u"Org/zqmtemp.rdm"_qs));
    Check(file.size() == (m_o.Pupils + 2) * kRecord, u"the roster is not the measurement set"_qs);
}

// 終了 from the File menu, and the program started again: it shows No. 1.
void Day::Restart() {
    MainKeys({u"alt+f"_qs, u"x"_qs});
    Check(m_program->waitForFinished(kPatience), u"終了 does not end the program"_qs);
    StartProgram();
}

// How far the notice bar, when it shows, moves the controls below it down: its yellow is
// looked for where it starts.
int Day::NoticeOffset() {
    QProcess shot;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"DISPLAY"_qs, m_display);
    shot.setProcessEnvironment(env);
    shot.start(u"import"_qs, {u"-window"_qs, WaitWindow(kMainTitle), u"-crop"_qs, u"1x1+11+100"_qs,
                              u"-depth"_qs, u"8"_qs, u"rgb:-"_qs});
    shot.waitForFinished(kPatience);
    const QByteArray pixel = shot.readAllStandardOutput();
    return pixel.size() >= 3 && quint8(pixel[0]) > 0xF0 && quint8(pixel[2]) < 0xD0 ? kNoticeHeight
                                                                                   : 0;
}

// The nurse closes a notice that stays (the journal could not be written on the full disk).
void Day::CloseNotice() {
    if (NoticeOffset() == 0) return;
    Xdotool({u"mousemove"_qs, u"--window"_qs, WaitWindow(kMainTitle), u"478"_qs, u"100"_qs,
             u"click"_qs, u"1"_qs});
}

// The third name box (the roster's "No.k"), clicked and all of it selected by Ctrl+A.
void Day::ClickNameBox(int box) {
    const QString window = WaitWindow(kMainTitle);
    const int y = kNameBoxTop + box * kNameBoxStep + NoticeOffset();
    Xdotool({u"mousemove"_qs, u"--window"_qs, window, u"160"_qs, QString::number(y), u"click"_qs,
             u"1"_qs});
    Keys(window, {u"ctrl+a"_qs});
}

// The nurse's slips. False when the pupil has to be measured again.
bool Day::Slip(int k, Hazard hazard) {
    const Pupil& p = m_pupils[k];
    ++m_slips;
    if (hazard == Hazard::NextTooSoon) {
        const Pupil& next = m_pupils[k + 1];
        if (!m_o.ManualWriting) {
            // Automatic writing: the pupil on display is written before the next one's
            // reading is taken, each on a number of its own.
            SendReadings(p, true, true, k);
            SendReadings(next, true, true, k + 1);
            m_onDisplay[k + 1] = true;
            WaitRecord(k);
            return true;
        }
        // Manual writing: a pupil who moved is not written; the next one's readings replace
        // those on display and the window says so. The nurse measures the pupil again.
        SendReadings(Moved(p), true, true, k);
        SendReadings(next, true, true, k + 1);
        SendReadings(p, true, true, k);
        MainKeys({u"ctrl+s"_qs});
        WaitRecord(k);
        return true;
    }
    if (hazard == Hazard::TypeName) {
        // The write waits while the name is typed, through a pause longer than its delay.
        SendReadings(p, true, true, k);
        ClickNameBox(2);
        Xdotool({u"type"_qs, u"--delay"_qs, u"40"_qs, p.Number});
        Sleep(3500);
        Check(!IsWritten(k), u"No.%1 written while its name was typed"_qs.arg(k));
        // Enter starts the delay again; Tab then leaves the box, so that a key the X server
        // delivers without its Ctrl later is not typed into a name.
        MainKeys({u"Return"_qs});
        WaitRecord(k);
        MainKeys({u"Tab"_qs});
        return true;
    }
    if (hazard == Hazard::SaveAfterRestart) {
        // No. 1 shows after the restart: the pupil's reading and Ctrl+S ask before
        // overwriting it; No (Enter), then 未測定へ drops the reading (いいえ).
        Restart();
        SendReadings(Moved(p), true, true, k);
        MainKeys({u"ctrl+s"_qs});
        AnswerBox();
        const QByteArray before = NumberBox();
        MainKeys({u"ctrl+u"_qs});
        AnswerBox(u"n"_qs);
        QElapsedTimer t;
        t.start();
        while (NumberBox() == before && t.elapsed() < kPatience) Sleep(100);
        Sleep(kSettle);
        Check(Measured(1), u"No.1 overwritten after a restart"_qs);
        return false;
    }
    // The notice shows; nothing is touched while this pupil and the next two pass.
    Unplug();
    for (int j = k; j < k + 3; ++j) {
        SendReadings(m_pupils[j], true, true, j);
        if (m_o.ManualWriting) MainKeys({u"ctrl+s"_qs});
        WaitRecord(j);
        if (j > k) m_onDisplay[j] = false;
    }
    for (int j = k + 1; j < k + 3; ++j) m_done.insert(j);
    return true;
}

void Day::Crash() {
    ::kill(pid_t(m_program->processId()), SIGKILL);
    StopProgram();
    ++m_crashes;
    StartProgram();
    MoveKeys(u"ctrl+u"_qs);  // 未測定のナンバーへ進む
}

QByteArray Day::NumberBox() {
    QProcess shot;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"DISPLAY"_qs, m_display);
    shot.setProcessEnvironment(env);
    const QString crop = QStringLiteral("40x24+30+%1").arg(82 + NoticeOffset());
    shot.start(u"import"_qs,
               {u"-window"_qs, WaitWindow(kMainTitle), u"-crop"_qs, crop, u"rgb:-"_qs});
    shot.waitForFinished(kPatience);
    return shot.readAllStandardOutput();
}

// Keys and readings travel by different roads: the next reading waits until the number box
// shows another number (a restarted program can take a while to act on its first key).
void Day::MoveKeys(const QString& key) {
    const QByteArray before = NumberBox();
    MainKeys({key});
    QElapsedTimer t;
    t.start();
    while (NumberBox() == before && t.elapsed() < kPatience) Sleep(100);
    Sleep(kSettle);
}

// Until the program has let go of `device`: it noticed the cable out.
void Day::WaitLineClosed(const QString& device) {
    QElapsedTimer t;
    t.start();
    const QString fds = QStringLiteral("/proc/%1/fd").arg(m_program->processId());
    for (bool open = true; open; Sleep(50)) {
        open = false;
        for (const QFileInfo& fd : QDir(fds).entryInfoList(QDir::Files | QDir::System))
            open = open || fd.symLinkTarget() == device;
        Check(t.elapsed() < kPatience, u"the program does not notice the cable out"_qs);
    }
}

// The cable out: the program tells it in its window, never in a box that would hold the
// day; a while later the cable is back in, and nobody touches the program.
void Day::Unplug() {
    const QString device = m_line->Device();
    m_line.reset();
    // The device is gone, as a pulled adapter's is: the pty's number may go to another
    // program's pty meanwhile, which must not be taken for the meter.
    LinkPort(Path(u"ports/unplugged"_qs));
    WaitLineClosed(device);
    Sleep(200 + int(m_random() % 1300));
    Check(Windows(kBoxTitle).isEmpty(), u"a message box holds the day after the cable out"_qs);
    Replug();
    ++m_replugs;
    // The program comes back online by itself once its port is there again.
    WaitForLine(u"the program does not take the meter back"_qs);
}

// One pupil on the meter. False when the pupil has to be measured again.
bool Day::MeasurePupil(int k, Hazard hazard) {
    const Pupil& p = m_pupils[k];
    if (qEnvironmentVariableIsSet("SOAK_TRACE"))
        std::fprintf(stderr, "No.%d %s hazard %d\n", k, p.AutoWrite ? "auto" : "ctrl+s",
                     int(hazard));
    switch (hazard) {
        case Hazard::UnplugBefore:
            Unplug();
            return false;
        case Hazard::CrashBefore:
            Crash();
            return false;
        case Hazard::NextTooSoon:
        case Hazard::TypeName:
        case Hazard::SaveAfterRestart:
        case Hazard::NoticeOpen:
            return Slip(k, hazard);
        default:
            break;
    }
    const QString pid = QString::number(m_program->processId());
    if (hazard == Hazard::FullDisk) {
        // The file may grow no further than the middle of this pupil's record.
        const QString limit = QString::number((k + 1) * kRecord + 75);
        Check(QProcess::execute(u"prlimit"_qs, {u"--pid"_qs, pid, u"--fsize="_qs + limit + u':'}) ==
                  0,
              u"prlimit fails"_qs);
    }
    // A pupil the slip before put on display is there already.
    if (!m_onDisplay[k]) SendReadings(p, true, hazard != Hazard::UnplugBetween, k);
    m_onDisplay[k] = false;
    if (hazard == Hazard::UnplugBetween) {
        QElapsedTimer sent;
        sent.start();
        Unplug();
        // Automatic writing stores the height alone a second after it came; the nurse then
        // goes back to the pupil. Either way the pupil is measured again.
        while (sent.elapsed() < 4000 && !IsWritten(k)) Sleep(50);
        if (IsWritten(k)) MoveKeys(u"ctrl+b"_qs);
        return false;
    }
    if (hazard == Hazard::CrashAfterFrames) {
        Crash();
        return false;
    }
    if (p.AutoWrite && hazard != Hazard::CrashAfterSave) {
        if (hazard == Hazard::UnplugPending) Unplug();
        WaitRecord(k);
        return true;
    }
    if (hazard == Hazard::FullDisk) {
        MainKeys({u"ctrl+s"_qs});
        AnswerBox();
        // A failed write leaves the record as it was, never half of the new one.
        Check(!IsWritten(k),
              u"the failed write left No.%1 as [%2]"_qs.arg(k).arg(Cp932::Decode(Record(k))));
        Check(QProcess::execute(u"prlimit"_qs, {u"--pid"_qs, pid, u"--fsize=unlimited:"_qs}) == 0,
              u"prlimit fails"_qs);
        ++m_fullDisks;
        CloseNotice();
    }
    // As soon as both values show; on a slow machine automatic writing may have been first.
    if (!Measured(k)) MainKeys({u"ctrl+s"_qs});
    if (hazard == Hazard::CrashAfterSave) {
        Crash();
        return Measured(k);
    }
    WaitRecord(k);
    return true;
}

int Day::Run() {
    QElapsedTimer clock;
    clock.start();
    Check(Prepare(), u"the program folder cannot be made"_qs);
    StartXvfb();
    Replug();
    StartProgram();
    LoadRoster();

    // The day's mishaps, each at a pupil of its own (never the first).
    std::mt19937& random = m_random;
    QMap<int, Hazard> hazards;
    hazards.insert(m_o.Pupils / 2, Hazard::Exit);
    const auto place = [&](Hazard h) {
        for (;;) {
            const int k = 2 + int(random() % quint32(m_o.Pupils - 1));
            if (hazards.contains(k)) continue;
            // Some mishaps only happen to pupils written one way.
            const bool automatic = m_pupils[k].AutoWrite;
            if ((h == Hazard::UnplugPending && !automatic) ||
                ((h == Hazard::UnplugBetween || h == Hazard::FullDisk) && automatic))
                continue;
            // Some take the next pupils along: they are kept free of mishaps of their own.
            const int along = h == Hazard::NoticeOpen ? 2 : h == Hazard::NextTooSoon ? 1 : 0;
            bool free = k + along <= m_o.Pupils;
            for (int j = k + 1; j <= k + along && free; ++j) free = !hazards.contains(j);
            if (!free) continue;
            hazards.insert(k, h);
            for (int j = k + 1; j <= k + along; ++j) hazards.insert(j, Hazard::None);
            return;
        }
    };
    const Hazard unplugs[] = {Hazard::UnplugBefore, Hazard::UnplugBetween, Hazard::UnplugPending};
    const Hazard crashes[] = {Hazard::CrashBefore, Hazard::CrashAfterFrames,
                              Hazard::CrashAfterSave};
    // With manual writing no write is ever pending: that unplug has no pupil to happen to.
    for (int i = 0; i < m_o.Unplugs; ++i) place(unplugs[random() % (m_o.ManualWriting ? 2 : 3)]);
    for (int i = 0; i < m_o.Crashes; ++i) place(crashes[random() % 3]);
    for (int i = 0; i < m_o.FullDisks; ++i) place(Hazard::FullDisk);
    // Typing holds an automatic write: with manual writing there is none to hold.
    const Hazard slips[] = {Hazard::NextTooSoon, Hazard::SaveAfterRestart, Hazard::NoticeOpen,
                            Hazard::TypeName};
    for (int i = 0; i < m_o.Slips; ++i) place(slips[i % (m_o.ManualWriting ? 3 : 4)]);
    m_onDisplay = QList<bool>(m_o.Pupils + 2, false);

    for (int k = 1; k <= m_o.Pupils; ++k) {
        Hazard hazard = hazards.take(k);
        if (m_done.contains(k)) continue;
        if (hazard == Hazard::Exit) {
            Restart();
            MoveKeys(u"ctrl+u"_qs);  // 未測定のナンバーへ進む
            hazard = Hazard::None;
        }
        while (!MeasurePupil(k, hazard)) hazard = Hazard::None;  // measured again
    }
    return FinalCheck(clock.elapsed() / 60000.0);
}

// Every reading sent is in its pupil's record, or in the day's journal as never written.
// Returns how many are neither; `journaled` counts those found only in the journal.
int Day::JournalCheck(int& journaled) {
    QList<JournalEntry> notWritten;
    for (const QFileInfo& file :
         QDir(Path(u"Org/journal"_qs)).entryInfoList({u"*.csv"_qs}, QDir::Files)) {
        QFile f(file.filePath());
        if (!f.open(QIODevice::ReadOnly)) continue;
        for (const JournalEntry& e : JournalFormat::Parse(f.readAll()))
            if (e.NeverWritten()) notWritten << e;
    }
    int lost = 0;
    for (const SentReading& r : m_sent) {
        const MeasureValues v = MeasureRecord::Decode(Record(r.Pupil)).Values;
        if ((r.Height ? v.Height : v.Weight).Trimmed() == QString::fromLatin1(r.Value)) continue;
        const MeasuredQuantity kind =
            r.Height ? MeasuredQuantity::Height : MeasuredQuantity::Weight;
        const auto found = std::find_if(notWritten.begin(), notWritten.end(), [&](const auto& e) {
            return e.Kind == kind && e.Value == QString::fromLatin1(r.Value);
        });
        if (found == notWritten.end()) {
            ++lost;
            std::fprintf(stderr, "soak_day: pupil %d's %s %s is nowhere\n", r.Pupil,
                         r.Height ? "height" : "weight", r.Value.constData());
        } else {
            ++journaled;
            notWritten.erase(found);
        }
    }
    return lost;
}

int Day::FinalCheck(double minutes) {
    QFile file(Path(u"Org/zqmtemp.rdm"_qs));
    Check(file.open(QIODevice::ReadOnly), u"no record file"_qs);
    const QByteArray bytes = file.readAll();
    int right = 0, misplaced = 0, missing = 0;
    QStringList faults;
    // Writing the last record moves on to a fresh blank number after it, as always.
    const QByteArray after = bytes.mid((m_o.Pupils + 2) * kRecord);
    if (bytes.size() < (m_o.Pupils + 2) * kRecord ||
        (after != QByteArray() && after != QByteArray(kRecord, ' ')))
        faults << QStringLiteral("%1 bytes, not %2 records and a blank one")
                      .arg(bytes.size())
                      .arg(m_o.Pupils + 2);
    if (bytes.left(2 * kRecord) != QByteArray(2 * kRecord, ' ')) faults << u"header not blank"_qs;
    for (int k = 1; k <= m_o.Pupils; ++k) {
        const QByteArray record = bytes.mid((k + 1) * kRecord, kRecord);
        if (record == m_expected[k]) {
            ++right;
        } else if (record.mid(60).trimmed().isEmpty()) {
            ++missing;
            faults << QStringLiteral("No.%1 missing").arg(k);
        } else {
            ++misplaced;
            faults << QStringLiteral("No.%1 holds [%2]").arg(k).arg(Cp932::Decode(record));
        }
    }
    const QString csv = Path(u"day.csv"_qs);
    QProcess save;
    save.start(Path(u"hakaron"_qs), {u"--save-csv"_qs, csv});
    save.waitForFinished(kPatience);
    QFile csvFile(csv);
    int dataLines = 0;
    if (csvFile.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> lines = csvFile.readAll().split('\n');
        for (int k = 1; k <= m_o.Pupils && k + 3 < lines.size(); ++k)
            if (lines[k + 3] + '\n' == CsvLines::DataLine(k, MeasureRecord::Decode(m_expected[k])))
                ++dataLines;
    }
    if (dataLines != m_o.Pupils)
        faults << QStringLiteral("CSV has %1 right data lines").arg(dataLines);

    int journaled = 0;
    const int lost = JournalCheck(journaled);
    if (lost > 0) faults << QStringLiteral("%1 readings neither written nor journaled").arg(lost);

    std::printf(
        "day: %d pupils, %d right, %d misplaced, %d missing, %d replugs, %d crashes, "
        "%d full disks, %d slips, %d readings sent, %d journaled as not written, %d lost, "
        "%.1f min\n",
        m_o.Pupils, right, misplaced, missing, m_replugs, m_crashes, m_fullDisks, m_slips,
        int(m_sent.size()), journaled, lost, minutes);
    std::fflush(stdout);
    if (!faults.isEmpty()) Fail(faults.mid(0, 20).join(u'\n'));
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption pupils(u"pupils"_qs, u"pupils on the roster"_qs, u"N"_qs, u"1500"_qs);
    const QCommandLineOption unplugs(u"unplugs"_qs, u"cable pulled"_qs, u"U"_qs, u"20"_qs);
    const QCommandLineOption crashes(u"crashes"_qs, u"program killed"_qs, u"K"_qs, u"5"_qs);
    const QCommandLineOption fullDisks(u"full-disks"_qs, u"writes failing"_qs, u"D"_qs, u"2"_qs);
    const QCommandLineOption slips(u"slips"_qs, u"the nurse's slips"_qs, u"L"_qs, u"8"_qs);
    const QCommandLineOption manual(u"manual-writing"_qs, u"automatic writing off"_qs);
    const QCommandLineOption seed(u"seed"_qs, u"the day's chance"_qs, u"S"_qs, u"1"_qs);
    parser.addOptions({pupils, unplugs, crashes, fullDisks, slips, manual, seed});
    parser.process(app);
    Options o;
    o.Pupils = std::clamp(parser.value(pupils).toInt(), 4, 1500);
    o.Unplugs = parser.value(unplugs).toInt();
    o.Crashes = parser.value(crashes).toInt();
    o.FullDisks = parser.value(fullDisks).toInt();
    o.Slips = parser.value(slips).toInt();
    o.ManualWriting = parser.isSet(manual);
    o.Seed = parser.value(seed).toUInt();
    if (o.Unplugs + o.Crashes + o.FullDisks + 3 * o.Slips >= o.Pupils - 2) {
        std::fprintf(stderr, "soak_day: too many mishaps for %d pupils\n", o.Pupils);
        return 2;
    }
    // A file-size limit stands in for a full disk: the write fails as on a full disk, without
    // the signal that a real limit would also send.
    std::signal(SIGXFSZ, SIG_IGN);
    QTemporaryDir dir(QDir::temp().filePath(u"hakaron-day-XXXXXX"_qs));
    dir.setAutoRemove(false);  // kept when the day fails
    if (!dir.isValid()) return 1;
    const int status = Day(o, dir.path()).Run();
    if (status == 0) dir.remove();
    return status;
}
