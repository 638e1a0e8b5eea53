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
    return record(m_backend->write(bytes, &error), error);
}

QByteArray SerialLine::read(int maxBytes, bool *ok)
{
    QString error;
    bool readOk = false;
    QByteArray bytes = m_backend->read(maxBytes, &readOk, &error);
    record(readOk, error);
    if (ok)
        *ok = readOk;
    return bytes;
}
