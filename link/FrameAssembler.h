#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

// The meter's framing characters.
namespace FrameChars {
constexpr char16_t Stx = 0x02;
constexpr char16_t Etx = 0x03;
}  // namespace FrameChars

// Assembles the meter's frames from the characters of the receive events. A frame runs
// from STX to ETX, both included; characters outside a frame are dropped, and an ETX outside
// a frame finishes a frame of that ETX alone. A frame that grows past any real frame's length
// without its end character is dropped.
class FrameAssembler {
public:
    // Feeds one received chunk and returns every frame it finished, in order. An unfinished
    // frame is kept for the next chunk.
    QStringList Feed(const QString& chunk);

    // Drops the frame being assembled.
    void Reset() {
        m_recvState = 0;
        m_frameBuffer.clear();
    }

    // 0 = outside a frame, 1 = inside a frame, 2 = end character seen.
    uint8_t RecvState() const { return m_recvState; }
    // The frame being assembled, start character included.
    const QString& FrameBuffer() const { return m_frameBuffer; }

private:
    uint8_t m_recvState = 0;
    QString m_frameBuffer;
};

// What decoding is given of one finished frame.
struct FrameResponse {
    QString ResponseCode;
    QString ResponseData;
    bool operator==(const FrameResponse&) const = default;
};

// The response code (characters 2-3) and the value of a finished frame. After the
// ROM-version request "%V" the value is character 2 & "." & character 3; otherwise it is the
// up to seven characters from position 5 on, which in a short frame include the ETX.
FrameResponse ResponseOf(const QString& frameBuffer, const QString& lastCommand);
