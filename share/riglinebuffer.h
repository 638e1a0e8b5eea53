#pragma once

#include <QByteArray>

// Splits a client's byte stream into command lines, ended by a line feed or a carriage
// return. A line longer than maxLineBytes is dropped whole and reported once, so a client
// that never ends its line cannot make the buffer grow.
class RigLineBuffer
{
public:
    static constexpr int maxLineBytes = 1024;

    void append(const QByteArray &bytes);

    enum class Take {
        None,    // no complete line waiting
        Line,    // `line` holds the next line, without its terminator
        TooLong, // a line over the limit ended (or the limit was passed); it is gone
    };
    Take take(QByteArray *line);

private:
    QByteArray m_buffer;
    int m_scanned = 0;         // bytes of m_buffer already searched for a terminator
    bool m_discarding = false; // inside an over-long line: drop bytes up to its end
};
