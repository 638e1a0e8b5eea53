#pragma once

#include "serialbackend.h"

// SerialBackend over a POSIX terminal device (termios). The descriptor is opened
// non-blocking; the 25 ms read wait and the 150 ms write limit are done with poll().
class PosixSerialBackend : public SerialBackend
{
public:
    PosixSerialBackend() = default;
    ~PosixSerialBackend() override;

    bool open(const QString &portName, QString *error) override;
    void close() override;
    bool isOpen() const override { return m_fd >= 0; }
    bool purgeInput(QString *error) override;
    bool flush(QString *error) override;
    bool write(const QByteArray &bytes, QString *error) override;
    QByteArray read(int maxBytes, bool *ok, QString *error) override;
    QByteArray readAvailable(int maxBytes, bool *ok, QString *error) override;
    int descriptor() const override { return m_fd; }
    bool isGone() const override { return m_gone; }

    static constexpr int readWaitMs = 25;
    static constexpr int writeLimitMs = 150;

private:
    bool configure();
    QByteArray readWaiting(int maxBytes, int waitMs, bool *ok, QString *error);
    // The failure text of a call; notes errors that mean the device is gone.
    QString failed(const char *call, int code);

    int m_fd = -1;
    bool m_gone = false;
};
