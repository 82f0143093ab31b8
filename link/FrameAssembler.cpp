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

QStringList FrameAssembler::Feed(const QString& chunk) {
    // A flood delivers thousands of frames per chunk: runs of characters are copied whole,
    // with the same result as taking the characters one by one.
    QStringList finished;
    const QChar* text = chunk.constData();
    const qsizetype n = chunk.size();
    qsizetype i = 0;
    while (i < n) {
        if (m_recvState != 1) {
            // Outside a frame (the buffer is empty): drop up to a start or end character.
            while (i < n && text[i] != FrameChars::Stx && text[i] != FrameChars::Etx) ++i;
            if (i == n) break;
            if (text[i] == FrameChars::Etx) {
                finished.append(QString(text[i]));
            } else {
                m_recvState = 1;
                m_frameBuffer.append(text[i]);
            }
            ++i;
            continue;
        }
        // Inside a frame: everything up to the end character belongs to it (a second start
        // character included), as long as the frame stays within its longest length.
        const qsizetype end = chunk.indexOf(QChar(FrameChars::Etx), i);
        const qsizetype runEnd = end < 0 ? n : end;
        const qsizetype room = kMaxFrameLength - m_frameBuffer.size();
        if (runEnd - i > room) {
            // The character that finds the frame full is dropped with it.
            i += room + 1;
            Reset();
            continue;
        }
        m_frameBuffer.append(text + i, runEnd - i);
        i = runEnd;
        if (end < 0) break;
        m_frameBuffer.append(text[i]);
        ++i;
        finished.append(std::exchange(m_frameBuffer, QString()));
        m_recvState = 0;
    }
    return finished;
}

FrameResponse ResponseOf(const QString& frameBuffer, const QString& lastCommand) {
    FrameResponse response;
    response.ResponseCode = frameBuffer.mid(1, 2);
    if (lastCommand == u"%V") {
        response.ResponseData = frameBuffer.mid(1, 1) + u'.' + frameBuffer.mid(2, 1);
    } else {
        response.ResponseData = frameBuffer.mid(kValueStart, kValueLength);
    }
    return response;
}
