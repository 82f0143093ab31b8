#include "FrameAssembler.h"

namespace {
constexpr qsizetype kValueStart = 4;  // position 5, counted from 0
constexpr qsizetype kValueLength = 7;
// The longest frame is STX, two code letters, one character, seven value characters and ETX.
// A line that sends far more without an end character is noise: what was gathered is dropped
// so that memory stays flat, and assembly waits for the next start character.
constexpr qsizetype kMaxFrameLength = 256;
}  // namespace

QStringList FrameAssembler::Feed(const QString& chunk) {
    QStringList finished;
    for (const QChar c : chunk) {
        if (c == FrameChars::Stx) {
            m_recvState = 1;
        } else if (c == FrameChars::Etx) {
            m_recvState = 2;
        }
        if (m_recvState == 1) {
            if (m_frameBuffer.size() >= kMaxFrameLength) {
                Reset();
                continue;
            }
            m_frameBuffer.append(c);
        } else if (m_recvState == 2) {
            m_frameBuffer.append(c);
            finished.append(m_frameBuffer);
            m_frameBuffer.clear();
            m_recvState = 0;
        }
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
