#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstdint>
#include <vector>

// The meter's framing characters.
namespace FrameChars {
constexpr char16_t Stx = 0x02;
constexpr char16_t Etx = 0x03;
}  // namespace FrameChars

// The frames one received chunk finished, in order, as views: into the chunk, which is held
// here without a copy, and for a frame begun in an earlier chunk into its own text. A flood of
// frames costs no string per frame. The views stay valid as long as this object.
class FinishedFrames {
public:
    FinishedFrames() = default;
    FinishedFrames(FinishedFrames&&) noexcept = default;
    FinishedFrames& operator=(FinishedFrames&&) noexcept = default;
    FinishedFrames(const FinishedFrames&) = delete;
    FinishedFrames& operator=(const FinishedFrames&) = delete;
    ~FinishedFrames() = default;

    qsizetype size() const { return qsizetype(m_frames.size()); }
    bool isEmpty() const { return m_frames.empty(); }
    QStringView operator[](qsizetype i) const { return m_frames[size_t(i)]; }
    auto begin() const { return m_frames.cbegin(); }
    auto end() const { return m_frames.cend(); }
    // Each frame as a text of its own.
    QStringList Texts() const;

private:
    friend class FrameAssembler;
    QString m_chunk;
    QString m_carried;
    std::vector<QStringView> m_frames;
};

// Assembles the meter's frames from the characters of the receive events. A frame runs
// from STX to ETX, both included; characters outside a frame are dropped, and an ETX outside
// a frame finishes a frame of that ETX alone. A frame that grows past any real frame's length
// without its end character is dropped.
class FrameAssembler {
public:
    // Feeds one received chunk and returns every frame it finished, in order. An unfinished
    // frame is kept for the next chunk.
    FinishedFrames Feed(const QString& chunk);

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

// What decoding is given of one finished frame: views into the frame, and for the ROM-version
// reply a value of its own in Composed. A copy of the response shares Composed, so its views
// stay valid with it.
struct FrameResponse {
    QStringView ResponseCode;
    QStringView ResponseData;
    QString Composed;
};

// Whether a text is the two-character code `code` ("SY", "%V"): every frame compares its
// code and the last command with a dozen of these, so they are compared in place.
constexpr bool IsCode(QStringView text, const char16_t (&code)[3]) {
    return text.size() == 2 && text[0] == code[0] && text[1] == code[1];
}

// The response code of a finished frame: characters 2-3.
inline QStringView ResponseCodeOf(QStringView frameBuffer) {
    return frameBuffer.mid(1, 2);
}

// The response code and the value of a finished frame. After the
// ROM-version request "%V" the value is character 2 & "." & character 3; otherwise it is the
// up to seven characters from position 5 on, which in a short frame include the ETX.
FrameResponse ResponseOf(QStringView frameBuffer, const QString& lastCommand);
