#include "FrameAssembler.h"

#include <utility>

namespace {
constexpr qsizetype kValueStart = 4;  // position 5, counted from 0
constexpr qsizetype kValueLength = 7;
// The longest frame is STX, two code letters, one character, seven value characters and ETX.
// A line that sends far more without an end character is noise: what was gathered is dropped
// so that memory stays flat, and assembly waits for the next start character.
constexpr qsizetype kMaxFrameLength = 256;
}  // namespace

QStringList FinishedFrames::Texts() const {
    QStringList texts;
    texts.reserve(size());
    for (QStringView frame : m_frames) texts.append(frame.toString());
    return texts;
}

FinishedFrames FrameAssembler::Feed(const QString& chunk) {
    // A flood delivers thousands of frames per chunk: each is found by its run of characters
    // and handed over as a view, with the same result as taking the characters one by one.
    FinishedFrames finished;
    finished.m_chunk = chunk;
    const QStringView text(finished.m_chunk);
    const qsizetype n = text.size();
    qsizetype i = 0;
    // Where the frame being assembled began in this chunk; -1 while it is in m_frameBuffer.
    qsizetype start = -1;
    while (i < n) {
        if (m_recvState != 1) {
            // Outside a frame (the buffer is empty): drop up to a start or end character.
            while (i < n && text[i] != FrameChars::Stx && text[i] != FrameChars::Etx) ++i;
            if (i == n) break;
            if (text[i] == FrameChars::Etx) {
                finished.m_frames.push_back(text.sliced(i, 1));
            } else {
                m_recvState = 1;
                start = i;
            }
            ++i;
            continue;
        }
        // Inside a frame: everything up to the end character belongs to it (a second start
        // character included), as long as the frame stays within its longest length.
        const qsizetype end = text.indexOf(QChar(FrameChars::Etx), i);
        const qsizetype runEnd = end < 0 ? n : end;
        const qsizetype gathered = start >= 0 ? i - start : m_frameBuffer.size();
        const qsizetype room = kMaxFrameLength - gathered;
        if (runEnd - i > room) {
            // The character that finds the frame full is dropped with it.
            i += room + 1;
            Reset();
            start = -1;
            continue;
        }
        if (end < 0) {
            if (start < 0) m_frameBuffer.append(text.sliced(i));
            i = n;
            break;
        }
        if (start >= 0) {
            finished.m_frames.push_back(text.sliced(start, end + 1 - start));
        } else {
            // Only the first frame of a chunk can have begun in an earlier one.
            m_frameBuffer.append(text.sliced(i, end + 1 - i));
            finished.m_carried = std::exchange(m_frameBuffer, QString());
            finished.m_frames.push_back(finished.m_carried);
        }
        start = -1;
        m_recvState = 0;
        i = end + 1;
    }
    // An unfinished frame begun here waits in the buffer for the next chunk.
    if (start >= 0) m_frameBuffer = text.sliced(start).toString();
    return finished;
}

FrameResponse ResponseOf(QStringView frameBuffer, const QString& lastCommand) {
    FrameResponse response;
    response.ResponseCode = ResponseCodeOf(frameBuffer);
    if (IsCode(lastCommand, u"%V")) {
        response.Composed =
            frameBuffer.mid(1, 1).toString() + u'.' + frameBuffer.mid(2, 1).toString();
        response.ResponseData = response.Composed;
    } else {
        response.ResponseData = frameBuffer.mid(kValueStart, kValueLength);
    }
    return response;
}
