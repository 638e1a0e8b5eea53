#pragma once

#include <QByteArray>
#include <QString>

class Corvindriver;

// The band scope's raw access to the receiver's serial line: whole writes and reads that
// never wait, for a capture or a service session on the GUI thread. Failures return false or
// an empty result with the line's error text.
class ScopePort
{
public:
    virtual ~ScopePort() = default;

    // Opens the port without sending anything (the service session's own connection).
    virtual bool open(const QString &portName, QString *error) = 0;
    // Closes the port at once, without sending anything.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual bool write(const QByteArray &bytes, QString *error) = 0;
    // At most maxBytes of what has arrived, possibly nothing; `ok` false when the read failed.
    virtual QByteArray read(int maxBytes, bool *ok, QString *error) = 0;
    // The port's descriptor for watching it for incoming bytes; -1 when there is none.
    virtual int descriptor() const { return -1; }
};

// The port of the receiver driver: every write and read takes the driver's lineLock for that
// call only, so the driver's own exchanges and the band scope never interleave on the wire.
// Opening and closing go through the driver (openPort, closePort). GUI thread only.
class DriverScopePort : public ScopePort
{
public:
    explicit DriverScopePort(Corvindriver &driver)
        : m_driver(driver)
    {}

    bool open(const QString &portName, QString *error) override;
    void close() override;
    bool isOpen() const override;
    bool write(const QByteArray &bytes, QString *error) override;
    QByteArray read(int maxBytes, bool *ok, QString *error) override;
    int descriptor() const override;

    // The normal connection after a complete frame: ends the band-scope stream ("VF", drain,
    // "RX"), then sets the mode code and tunes to the frequency (Hz). False when a step failed:
    // `error` then holds the stream's error text, or `restoreFailed` when mode or tuning failed.
    bool restoreTuning(qint64 frequency, int mode, const QString &restoreFailed, QString *error);

private:
    Corvindriver &m_driver;
};
