#pragma once

#include <QByteArray>

// Splits the receiver's band-scope byte stream into lines: a line ends at a carriage return
// or a line feed, XON (0x11) and XOFF (0x13) are dropped wherever they occur, and a line holds
// at most 256 bytes. A byte that arrives while the line is full marks it overflowed; an
// overflowed line is handed on when it ends, flagged, so the caller can count and discard it.
// Empty lines are skipped. Not thread-safe.
class ScopeLineBuffer
{
public:
    static constexpr int maxLineBytes = 256;

    // Calls onLine(const QByteArray &line, bool overflowed) for every line the bytes complete.
    template <typename OnLine> void feed(const QByteArray &bytes, OnLine &&onLine)
    {
        for (const char byte : bytes) {
            if (byte == xon || byte == xoff)
                continue;
            if (byte == '\r' || byte == '\n') {
                if (!m_line.isEmpty() || m_overflow) {
                    const bool overflowed = m_overflow;
                    const QByteArray line = m_line;
                    clear();
                    onLine(line, overflowed);
                }
                continue;
            }
            if (m_line.size() < maxLineBytes)
                m_line.append(byte);
            else
                m_overflow = true;
        }
    }

    void clear()
    {
        m_line.clear();
        m_overflow = false;
    }

    // The incomplete line so far and whether it has overflowed.
    const QByteArray &pendingLine() const { return m_line; }
    bool overflow() const { return m_overflow; }
    // True while an incomplete line (or an overflowed one) waits for its end.
    bool hasPartialLine() const { return !m_line.isEmpty() || m_overflow; }

private:
    static constexpr char xon = 0x11;
    static constexpr char xoff = 0x13;

    QByteArray m_line;
    bool m_overflow = false;
};
