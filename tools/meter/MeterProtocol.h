#pragma once

// The meter's side of the wire protocol, kept free of I/O so that it can be tested directly.

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>
#include <random>

namespace meter {

constexpr char kStx = '\x02';
constexpr char kEtx = '\x03';

// Reply frame: STX, two-letter code, ',', the value right-aligned in seven characters, ETX.
// A longer value is cut to seven characters.
QByteArray ReplyFrame(const QByteArray& code, const QByteArray& value);
// A reading as the meter prints it: one decimal, e.g. "170.2".
QByteArray FormatReading(double value);
// The ROM-version answer: the two version digits where the code usually is.
QByteArray VersionFrame(const QByteArray& twoDigits);

// What the meter is set to report in command mode.
struct Readings {
    double Height = 170.2;
    double SittingHeight = 90.5;
    double Weight = 65.4;
    double Tare = 0.0;
    QByteArray ScaleState = "stable";  // TL, TH, UL, OV, HD, ER, or stable (TL/TH by weight)
    QByteArray Meters = "ST";          // ST, SY, ZK or TZ: which meters work
    QByteArray RomVersion = "13";
};

bool IsValidScaleState(const QByteArray& state);
bool IsValidMeters(const QByteArray& meters);
// "TL" below 10 kg, "TH" at or above.
QByteArray StableCode(double weight);

// The frames the meter answers a command with; none for a command it does not know.
QList<QByteArray> RepliesTo(const QByteArray& command, const Readings& readings);

// Splits the incoming byte stream into command codes. Bytes outside STX ... ETX are
// dropped; a second STX starts the command again.
class CommandSplitter {
public:
    QList<QByteArray> Feed(const QByteArray& bytes);

private:
    bool m_inFrame = false;
    QByteArray m_code;
};

// One person stepping on the meter in manual mode.
struct Person {
    double Height = 0;
    double SittingHeight = 0;
    double Weight = 0;
};

// Plausible, varied people (children and adults, weight following height), the same
// sequence for the same seed.
class PersonGenerator {
public:
    explicit PersonGenerator(quint32 seed) : m_engine(seed) {}
    Person Next();

private:
    double Uniform(double low, double high);
    std::mt19937 m_engine;
};

// The frames one person produces: height (and sitting height), then weight.
QList<QByteArray> PersonFrames(const Person& person, bool withSittingHeight);

// A test script, one step per line:
//   send CODE [VALUE]   a reply frame, e.g. "send SY 170.2"; without VALUE the value is blank
//   raw BYTES           bytes given with C escapes, e.g. "raw \x02SY,  170.2\x03"
//   pause MS            wait MS milliseconds
//   wait CODE           wait until the program sends the command CODE
//   unplug              close the line and end
//   replug MS           close the line, and MS milliseconds later open a new one behind the
//                       same link (a cable pulled and pushed back); the script goes on then
//   end                 end (closing the line) instead of keeping it open
// Blank lines and lines starting with '#' are skipped.
struct ScriptStep {
    enum class Kind { Send, Pause, Wait, Unplug, Replug, End };
    Kind What = Kind::Send;
    QByteArray Bytes;      // Send: the bytes; Wait: the command code
    int Milliseconds = 0;  // Pause, Replug
};
struct ScriptResult {
    QList<ScriptStep> Steps;
    QString Error;  // "line N: ..." when the script is not valid
};
ScriptResult ParseScript(const QString& text);

// C escapes (\xNN, \n, \r, \t, \0, \\) to bytes; empty optional on a bad escape.
std::optional<QByteArray> Unescape(const QString& text);
// Bytes shown for a log: printable ASCII as is, the rest as \xNN.
QString Escape(const QByteArray& bytes);

}  // namespace meter
