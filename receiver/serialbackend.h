#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

// The platform half of SerialLine: one open port of the operating system.
// Every failing call returns false (or an empty result) and fills `error` with the
// failure text of the platform call, e.g. "read (errno 5)".
// Not thread-safe: the owner serialises access (Corvindriver's lineLock).
class SerialBackend
{
public:
    virtual ~SerialBackend() = default;

    // Opens and configures the port (19200 baud, 8N2, XON/XOFF both ways, raw).
    virtual bool open(const QString &portName, QString *error) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Discards received bytes not yet read.
    virtual bool purgeInput(QString *error) = 0;
    // Clears a suspended output state, then discards pending output and input.
    virtual bool flush(QString *error) = 0;
    // Writes all bytes or fails; gives up when the port takes more than 150 ms.
    virtual bool write(const QByteArray &bytes, QString *error) = 0;
    // Returns what is waiting at once; when nothing is, waits up to 25 ms for a byte.
    virtual QByteArray read(int maxBytes, bool *ok, QString *error) = 0;
    // Returns what is waiting at once, possibly nothing; never waits.
    virtual QByteArray readAvailable(int maxBytes, bool *ok, QString *error) = 0;
    // The operating system's descriptor of the open port, for watching it for incoming bytes
    // in an event loop; -1 when closed or when the platform has none.
    virtual int descriptor() const = 0;
    // True once a call failed because the device itself went away (a USB adapter unplugged
    // or reset, a terminal hung up); cleared by open().
    virtual bool isGone() const = 0;

    // The backend of the platform the program was built for.
    static std::unique_ptr<SerialBackend> createPlatformBackend();
};
