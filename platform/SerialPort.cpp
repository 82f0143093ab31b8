#include "SerialPort.h"

#include <QStringList>
#include <algorithm>
#include <array>

namespace {
constexpr std::array kStandardBaudRates{110,   300,   600,   1200,  2400,   4800,   9600,  14400,
                                        19200, 28800, 38400, 56000, 57600, 115200, 128000, 256000};

std::optional<int> ParseInt(const QString& text) {
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || text.isEmpty() || !std::all_of(text.begin(), text.end(), [](QChar c) {
            return c.isDigit();
        }))
        return std::nullopt;
    return v;
}
}  // namespace

std::optional<LineSettings> ParseLineSettings(const QString& text) {
    const QStringList parts = text.split(u',');
    if (parts.size() != 4) return std::nullopt;
    LineSettings line;
    const auto baud = ParseInt(parts[0].trimmed());
    if (!baud || std::find(kStandardBaudRates.begin(), kStandardBaudRates.end(), *baud) ==
                     kStandardBaudRates.end())
        return std::nullopt;
    line.BaudRate = *baud;
    const QString parity = parts[1].trimmed().toUpper();
    if (parity.size() != 1 || !QStringLiteral("EONMS").contains(parity)) return std::nullopt;
    line.Parity = parity.at(0).toLatin1();
    const auto bits = ParseInt(parts[2].trimmed());
    if (!bits || *bits < 4 || *bits > 8) return std::nullopt;
    line.DataBits = *bits;
    const QString stop = parts[3].trimmed();
    if (stop != u"1" && stop != u"1.5" && stop != u"2") return std::nullopt;
    line.StopBits = stop;
    return line;
}

SerialPort::SerialPort(QObject* parent) : QObject(parent) {}

SerialPort::~SerialPort() = default;

int SerialPort::SetCommPort(int port) {
    if (port < 1 || port > 16) return CommErrors::InvalidProperty;
    if (m_open) return CommErrors::PortAlreadyOpen;
    m_commPort = port;
    return CommErrors::None;
}

int SerialPort::SetSettings(const QString& settings) {
    const auto line = ParseLineSettings(settings);
    if (!line) return CommErrors::InvalidProperty;
    m_line = *line;
    if (m_open) ApplyLineSettings();
    return CommErrors::None;
}

QString SerialPort::Settings() const {
    return QStringLiteral("%1,%2,%3,%4")
        .arg(m_line.BaudRate)
        .arg(QChar(m_line.Parity).toLower())
        .arg(m_line.DataBits)
        .arg(m_line.StopBits);
}

int SerialPort::SetHandshaking(int handshaking) {
    if (handshaking < 0 || handshaking > 3) return CommErrors::InvalidProperty;
    m_handshaking = handshaking;
    if (m_open) ApplyControlLines();
    return CommErrors::None;
}

int SerialPort::SetRTSEnable(bool enable) {
    m_rtsEnable = enable;
    if (m_open) ApplyControlLines();
    return CommErrors::None;
}

int SerialPort::SetSThreshold(int threshold) {
    if (threshold < 0) return CommErrors::InvalidProperty;
    m_sThreshold = threshold;
    return CommErrors::None;
}

int SerialPort::SetRThreshold(int threshold) {
    if (threshold < 0) return CommErrors::InvalidProperty;
    m_rThreshold = threshold;
    return CommErrors::None;
}

int SerialPort::SetPortOpen(bool open) {
    if (open == m_open) return CommErrors::None;
    if (open) {
        const int error = OpenDevice();
        if (error != CommErrors::None) return error;
        m_open = true;
        return CommErrors::None;
    }
    CloseDevice();
    m_open = false;
    m_pending.clear();
    return CommErrors::None;
}

PortDevice SerialPort::DeviceOf(int port) const {
    return {QStringLiteral("COM%1").arg(port), false, true};
}

int SerialPort::SetOutput(const QString& output) {
    if (!m_open) return CommErrors::PortNotOpen;
    return WriteBytes(output.toLatin1());
}

void SerialPort::RaiseCommEvent(int event) {
    // One pending receive event is enough: Input() hands over everything that arrived.
    if (event != CommEvents::Receive ||
        std::find(m_pending.begin(), m_pending.end(), event) == m_pending.end())
        m_pending.push_back(event);
    if (m_dispatching) return;
    m_dispatching = true;
    while (!m_pending.empty()) {
        m_commEvent = m_pending.front();
        m_pending.pop_front();
        emit OnComm();
    }
    m_dispatching = false;
}

void SerialPort::MarkClosed() {
    m_open = false;
    m_pending.clear();
}
