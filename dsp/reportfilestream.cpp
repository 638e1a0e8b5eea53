#include "reportfilestream.h"

#include <stdexcept>

namespace NativeWav {

namespace {

constexpr int flushBytes = 1 << 20;

} // namespace

ReportFileStream::ReportFileStream(const QString &path)
    : m_file(path)
{
    if (!m_file.open(QIODevice::WriteOnly))
        throw std::runtime_error("Could not write report file");
}

void ReportFileStream::append(const QString &text)
{
    m_buffer += text.toUtf8();
    if (m_buffer.size() >= flushBytes)
        flush();
}

void ReportFileStream::commit()
{
    flush();
    if (!m_file.commit())
        throw std::runtime_error("Could not commit report file");
}

void ReportFileStream::flush()
{
    if (m_file.write(m_buffer) != m_buffer.size())
        throw std::runtime_error("Report write failed");
    m_buffer.resize(0);
}

} // namespace NativeWav
