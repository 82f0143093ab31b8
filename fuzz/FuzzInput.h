#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>


// Reads a fuzzer's bytes from the front: small numbers for choices, then chunks of the rest.
class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size)
        : m_bytes(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size))) {}

    bool AtEnd() const { return m_at >= m_bytes.size(); }
    // One byte, 0 when none is left.
    uint8_t Byte() { return AtEnd() ? 0 : uint8_t(m_bytes.at(m_at++)); }
    // Up to `count` bytes.
    QByteArray Bytes(qsizetype count) {
        const QByteArray part = m_bytes.mid(m_at, count);
        m_at += part.size();
        return QByteArray(part.constData(), part.size());  // a copy: the fuzzer's buffer goes away
    }
    // A text of any UTF-16 code units, lone surrogates included: a length byte, then the units.
    QString Utf16Text() {
        const QByteArray units = Bytes(qsizetype(Byte()) * 2);
        QString text;
        for (qsizetype i = 0; i + 1 < units.size(); i += 2)
            text += QChar(char16_t(uchar(units[i]) | uchar(units[i + 1]) << 8));
        return text;
    }
    // Everything not read yet.
    QByteArray Rest() { return Bytes(m_bytes.size() - m_at); }

private:
    QByteArray m_bytes;
    qsizetype m_at = 0;
};

// The property a target checks did not hold: stop here, so that libFuzzer keeps the input.
#define FUZZ_CHECK(condition)               \
    do {                                    \
        if (!(condition)) __builtin_trap(); \
    } while (false)
