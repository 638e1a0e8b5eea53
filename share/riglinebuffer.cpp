#include "riglinebuffer.h"

namespace {

int terminatorIn(const QByteArray &bytes, int from)
{
    for (int i = from; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' || bytes[i] == '\r')
            return i;
    }
    return -1;
}

} // namespace

void RigLineBuffer::append(const QByteArray &bytes)
{
    if (!m_discarding) {
        m_buffer += bytes;
        return;
    }
    const int end = terminatorIn(bytes, 0);
    if (end < 0)
        return;
    m_discarding = false;
    m_buffer += bytes.mid(end + 1);
}

RigLineBuffer::Take RigLineBuffer::take(QByteArray *line)
{
    const int end = terminatorIn(m_buffer, m_scanned);
    if (end < 0) {
        m_scanned = m_buffer.size();
        if (m_buffer.size() <= maxLineBytes)
            return Take::None;
        // Over the limit without an end: drop it and whatever follows up to its end.
        m_buffer.clear();
        m_scanned = 0;
        m_discarding = true;
        return Take::TooLong;
    }
    const bool tooLong = end > maxLineBytes;
    *line = m_buffer.left(end);
    m_buffer.remove(0, end + 1);
    m_scanned = 0;
    return tooLong ? Take::TooLong : Take::Line;
}
