#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

class SerialBackend;

// The receiver's serial port: 19200 baud, 8 data bits, no parity, 2 stop bits,
// XON/XOFF in both directions, no hardware flow control, DTR and RTS dropped, raw.
//
// Reads return at once with the bytes waiting, otherwise wait up to 25 ms for the
// first byte. Writes that cannot finish within 150 ms end short and fail.
// Every failure stores its text in lastError(), which success never clears.
//
// Not thread-safe: callers hold Corvindriver::lineLock() around every operation.
class SerialLine
{
public:
    SerialLine();
    // For tests and other platforms: a line over the given backend.
    explicit SerialLine(std::unique_ptr<SerialBackend> backend);
    ~SerialLine();
    SerialLine(const SerialLine &) = delete;
    SerialLine &operator=(const SerialLine &) = delete;

    // Closes any open port, then opens `portName` (a name without "/" is looked up
    // under /dev) for exclusive use and applies the line settings.
    bool open(const QString &portName);
    void close();
    bool isOpen() const;

    // Discards input received but not yet read.
    bool purgeInput();
    // Clears the port's error and flow state, then discards pending output and input.
    bool flush();
    // Writes every byte; false when the port failed or took longer than 150 ms.
    bool write(const QByteArray &bytes);
    // At most `maxBytes` bytes; `ok` is true when the read itself succeeded, even empty.
    QByteArray read(int maxBytes, bool *ok);
    // Like read(), but returns at once with what is waiting, possibly nothing.
    QByteArray readAvailable(int maxBytes, bool *ok);
    // The open port's descriptor, for watching it for incoming bytes; -1 when closed.
    int descriptor() const;

    QString lastError() const { return m_lastError; }
    // True once an operation failed because the device went away; cleared by open().
    bool isGone() const;

    // Observer of the bytes that cross the line: `sent` is true for bytes written, false
    // for bytes read. Called on the caller's thread, under the caller's lock.
    using Trace = std::function<void(bool sent, const QByteArray &bytes)>;
    void setTrace(Trace trace) { m_trace = std::move(trace); }

    // Bytes as readable text: printable ASCII as is, CR as "<CR>", LF as "<LF>",
    // anything else as "<XX>" (two upper-case hexadecimal digits).
    static QString printable(const QByteArray &bytes);

private:
    bool record(bool success, const QString &error);
    QByteArray traced(const QByteArray &bytes, bool readOk, const QString &error, bool *ok);

    std::unique_ptr<SerialBackend> m_backend;
    QString m_lastError;
    Trace m_trace;
};
