#include "MeterProtocol.h"

#include <QStringList>
#include <cmath>

namespace meter {

QByteArray ReplyFrame(const QByteArray& code, const QByteArray& value) {
    return kStx + code + ',' + value.rightJustified(7, ' ', true) + kEtx;
}

QByteArray FormatReading(double value) {
    return QByteArray::number(value, 'f', 1);
}

QByteArray VersionFrame(const QByteArray& twoDigits) {
    return kStx + twoDigits.leftJustified(2, '0', true) + ',' + QByteArray(7, ' ') + kEtx;
}

bool IsValidScaleState(const QByteArray& state) {
    static const QList<QByteArray> states{"stable", "TL", "TH", "UL", "OV", "HD", "ER"};
    return states.contains(state);
}

bool IsValidMeters(const QByteArray& meters) {
    static const QList<QByteArray> kinds{"ST", "SY", "ZK", "TZ"};
    return kinds.contains(meters);
}

QByteArray StableCode(double weight) {
    return weight < 10.0 ? "TL" : "TH";
}

QList<QByteArray> RepliesTo(const QByteArray& command, const Readings& r) {
    const QByteArray height = ReplyFrame("SY", FormatReading(r.Height));
    const QByteArray weight = ReplyFrame("TZ", FormatReading(r.Weight));
    if (command == "SY") return {height};
    if (command == "ZK") return {ReplyFrame("ZK", FormatReading(r.SittingHeight))};
    if (command == "TZ") return {weight};
    if (command == "ST") return {height, weight};
    if (command == "TR") return {ReplyFrame("TR", FormatReading(r.Tare))};
    if (command == "%W") {
        const QByteArray code = r.ScaleState == "stable" ? StableCode(r.Weight) : r.ScaleState;
        return {ReplyFrame(code, FormatReading(r.Weight))};
    }
    if (command == "WT") return {ReplyFrame(StableCode(r.Weight), FormatReading(r.Weight))};
    if (command == "MS") return {ReplyFrame(r.Meters, {})};
    if (command == "%V") return {VersionFrame(r.RomVersion)};
    return {};
}

QList<QByteArray> CommandSplitter::Feed(const QByteArray& bytes) {
    QList<QByteArray> commands;
    for (const char c : bytes) {
        if (c == kStx) {
            m_inFrame = true;
            m_code.clear();
        } else if (c == kEtx) {
            if (m_inFrame) commands << m_code;
            m_inFrame = false;
            m_code.clear();
        } else if (m_inFrame) {
            m_code += c;
        }
    }
    return commands;
}

double PersonGenerator::Uniform(double low, double high) {
    // Our own scaling of the raw engine output: the same numbers with every standard library.
    const double unit = static_cast<double>(m_engine()) / 4294967296.0;
    return low + (high - low) * unit;
}

Person PersonGenerator::Next() {
    auto tenth = [](double v) { return std::round(v * 10.0) / 10.0; };
    double height = 0;
    double bmi = 0;
    double sittingRatio = 0;
    const double group = Uniform(0, 1);
    if (group < 0.3) {  // primary-school child
        height = Uniform(110, 152);
        bmi = Uniform(14, 21);
        sittingRatio = Uniform(0.54, 0.57);
    } else if (group < 0.55) {  // teenager
        height = Uniform(145, 182);
        bmi = Uniform(16, 25);
        sittingRatio = Uniform(0.52, 0.55);
    } else if (group < 0.8) {  // man
        height = Uniform(158, 190);
        bmi = Uniform(18.5, 31);
        sittingRatio = Uniform(0.52, 0.55);
    } else {  // woman
        height = Uniform(146, 174);
        bmi = Uniform(17.5, 30);
        sittingRatio = Uniform(0.52, 0.55);
    }
    Person p;
    p.Height = tenth(height);
    p.SittingHeight = tenth(height * sittingRatio);
    p.Weight = tenth(bmi * (p.Height / 100.0) * (p.Height / 100.0));
    return p;
}

QList<QByteArray> PersonFrames(const Person& person, bool withSittingHeight) {
    QList<QByteArray> frames{ReplyFrame("SY", FormatReading(person.Height))};
    if (withSittingHeight) frames << ReplyFrame("ZK", FormatReading(person.SittingHeight));
    frames << ReplyFrame("TZ", FormatReading(person.Weight));
    return frames;
}

std::optional<QByteArray> Unescape(const QString& text) {
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() > 0xff) return std::nullopt;
        if (c != u'\\') {
            out += char(c.unicode());
            continue;
        }
        if (++i >= text.size()) return std::nullopt;
        switch (text.at(i).unicode()) {
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case '0':
                out += '\0';
                break;
            case '\\':
                out += '\\';
                break;
            case 'x': {
                const QString digits = text.mid(i + 1, 2);
                const auto isHex = [](QChar d) {
                    return d.isDigit() || QStringLiteral("abcdefABCDEF").contains(d);
                };
                if (digits.size() != 2 || !isHex(digits[0]) || !isHex(digits[1]))
                    return std::nullopt;
                out += char(digits.toUInt(nullptr, 16));
                i += 2;
                break;
            }
            default:
                return std::nullopt;
        }
    }
    return out;
}

QString Escape(const QByteArray& bytes) {
    QString out;
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7f && u != '\\')
            out += QChar(u);
        else
            out += QStringLiteral("\\x%1").arg(u, 2, 16, QChar(u'0'));
    }
    return out;
}

ScriptResult ParseScript(const QString& text) {
    ScriptResult result;
    const QStringList lines = text.split(u'\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QString line = lines[n];
        if (line.endsWith(u'\r')) line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u'#')) continue;
        const QString word = trimmed.section(u' ', 0, 0);
        const QString rest = trimmed.section(u' ', 1).trimmed();
        auto fail = [&](const QString& why) {
            result.Steps.clear();
            result.Error = QStringLiteral("line %1: %2").arg(n + 1).arg(why);
            return result;
        };
        ScriptStep step;
        if (word == u"send") {
            const QString code = rest.section(u' ', 0, 0);
            const QString value = rest.section(u' ', 1).trimmed();
            if (code.size() != 2) return fail(QStringLiteral("send needs a two-letter code"));
            step.Bytes = ReplyFrame(code.toLatin1(), value.toLatin1());
        } else if (word == u"raw") {
            // Everything after "raw " counts, spaces included.
            const auto bytes = Unescape(line.trimmed().mid(4));
            if (!bytes) return fail(QStringLiteral("bad escape in raw bytes"));
            step.Bytes = *bytes;
        } else if (word == u"pause" || word == u"replug") {
            bool ok = false;
            step.What = word == u"pause" ? ScriptStep::Kind::Pause : ScriptStep::Kind::Replug;
            step.Milliseconds = rest.toInt(&ok);
            if (!ok || step.Milliseconds < 0)
                return fail(QStringLiteral("%1 needs milliseconds").arg(word));
        } else if (word == u"wait") {
            if (rest.size() != 2) return fail(QStringLiteral("wait needs a two-letter code"));
            step.What = ScriptStep::Kind::Wait;
            step.Bytes = rest.toLatin1();
        } else if (word == u"unplug" && rest.isEmpty()) {
            step.What = ScriptStep::Kind::Unplug;
        } else if (word == u"end" && rest.isEmpty()) {
            step.What = ScriptStep::Kind::End;
        } else {
            return fail(QStringLiteral("unknown step \"%1\"").arg(trimmed));
        }
        result.Steps << step;
    }
    return result;
}

}  // namespace meter
