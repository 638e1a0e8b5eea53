#include "serialline.h"

#include "serialbackend.h"

SerialLine::SerialLine()
    : SerialLine(SerialBackend::createPlatformBackend())
{}

SerialLine::SerialLine(std::unique_ptr<SerialBackend> backend)
    : m_backend(std::move(backend))
{}

SerialLine::~SerialLine() = default;

bool SerialLine::record(bool success, const QString &error)
{
    if (!success)
        m_lastError = error;
    return success;
}

bool SerialLine::open(const QString &portName)
{
    QString error;
    return record(m_backend->open(portName, &error), error);
}

void SerialLine::close()
{
    m_backend->close();
}

bool SerialLine::isOpen() const
{
    return m_backend->isOpen();
}

bool SerialLine::isGone() const
{
    return m_backend->isGone();
}

bool SerialLine::purgeInput()
{
    QString error;
    return record(m_backend->purgeInput(&error), error);
}

bool SerialLine::flush()
{
    QString error;
    return record(m_backend->flush(&error), error);
}

bool SerialLine::write(const QByteArray &bytes)
{
    QString error;
    const bool written = record(m_backend->write(bytes, &error), error);
    if (written && m_trace)
        m_trace(true, bytes);
    return written;
}

QByteArray SerialLine::read(int maxBytes, bool *ok)
{
    QString error;
    bool readOk = false;
    const QByteArray bytes = m_backend->read(maxBytes, &readOk, &error);
    return traced(bytes, readOk, error, ok);
}

QByteArray SerialLine::readAvailable(int maxBytes, bool *ok)
{
    QString error;
    bool readOk = false;
    const QByteArray bytes = m_backend->readAvailable(maxBytes, &readOk, &error);
    return traced(bytes, readOk, error, ok);
}

int SerialLine::descriptor() const
{
    return m_backend->descriptor();
}

QByteArray SerialLine::traced(const QByteArray &bytes, bool readOk, const QString &error, bool *ok)
{
    record(readOk, error);
    if (!bytes.isEmpty() && m_trace)
        m_trace(false, bytes);
    if (ok)
        *ok = readOk;
    return bytes;
}

QString SerialLine::printable(const QByteArray &bytes)
{
    QString text;
    for (const char byte : bytes) {
        const auto code = static_cast<uchar>(byte);
        if (byte == '\r')
            text += QLatin1String("<CR>");
        else if (byte == '\n')
            text += QLatin1String("<LF>");
        else if (code >= 0x20 && code <= 0x7e)
            text += QLatin1Char(byte);
        else
            text += QStringLiteral("<%1>").arg(code, 2, 16, QLatin1Char('0')).toUpper();
    }
    return text;
}
