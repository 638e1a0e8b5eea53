#pragma once

#include "serialline.h"

#include <QByteArray>
#include <QString>

#include <condition_variable>
#include <cstdio>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

class QFile;

// A trace of the serial traffic, for sending the record of a misbehaving receiver: every
// block of bytes on the wire, one a line, with its UTC time to the millisecond, its
// direction (TX from the program, RX from the receiver), its hexadecimal and its printable
// form:
//
//   2026-12-09T14:03:07.215Z TX 52 46 30 30 30 37 30 35 30 30 30 30 0d | RF0007050000<CR>
//
// record() only stamps the block and queues it; a writer thread of its own formats and
// writes, so tracing never holds up an exchange. When the writer falls behind by more than
// queueLimit blocks, blocks are dropped and the trace says how many.
class SerialTrace
{
public:
    static constexpr qint64 rotateBytes = 10 * 1024 * 1024;
    static constexpr int queueLimit = 4096;
    // Trace files kept in a trace folder; older ones are removed when a new one starts.
    static constexpr int keptFiles = 10;

    // Files "trace_<yyyyMMdd_HHmmss_zzz>_<pid>.log" in `folder` (created when missing), a new
    // one each time the current one reaches rotateBytes.
    static std::unique_ptr<SerialTrace> intoFolder(const QString &folder, QString *error);
    // Appends to `path`; at rotateBytes the file becomes "<path>.1" (replacing it) and a new
    // one starts.
    static std::unique_ptr<SerialTrace> intoFile(const QString &path, QString *error);
    // Standard error, never rotated.
    static std::unique_ptr<SerialTrace> toStandardError();

    // Writes what is queued and stops the writer.
    ~SerialTrace();
    SerialTrace(const SerialTrace &) = delete;
    SerialTrace &operator=(const SerialTrace &) = delete;

    // Any thread; never waits for the file.
    void record(bool sent, const QByteArray &bytes);
    // A SerialLine observer that records into this trace (which must outlive its use).
    SerialLine::Trace observer();

    // Returns once every block recorded so far is written.
    void flush();
    // The file being written (empty for standard error).
    QString currentFile() const;

    // One trace line, without its line feed.
    static QByteArray format(qint64 msecsSinceEpoch, bool sent, const QByteArray &bytes);

private:
    enum class Target { Folder, File, StandardError };
    struct Block
    {
        qint64 msecs = 0;
        bool sent = false;
        QByteArray bytes;
    };

    SerialTrace(Target target, const QString &where);
    bool openNext(QString *error);
    void run();
    void write(const QByteArray &line);
    void pruneFolder() const;

    const Target m_target;
    const QString m_where;
    std::unique_ptr<QFile> m_file;
    qint64 m_fileBytes = 0;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_drained;
    std::deque<Block> m_queue;
    qint64 m_dropped = 0;
    qint64 m_recorded = 0;
    qint64 m_written = 0;
    bool m_stop = false;
    QString m_currentFile;
    std::thread m_thread;
};
