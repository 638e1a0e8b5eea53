#include "serialtrace.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

SerialTrace::SerialTrace(Target target, const QString &where)
    : m_target(target)
    , m_where(where)
{}

std::unique_ptr<SerialTrace> SerialTrace::intoFolder(const QString &folder, QString *error)
{
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("cannot create %1").arg(folder);
        return nullptr;
    }
    std::unique_ptr<SerialTrace> trace(new SerialTrace(Target::Folder, folder));
    if (!trace->openNext(error))
        return nullptr;
    trace->m_thread = std::thread([raw = trace.get()] { raw->run(); });
    return trace;
}

std::unique_ptr<SerialTrace> SerialTrace::intoFile(const QString &path, QString *error)
{
    std::unique_ptr<SerialTrace> trace(new SerialTrace(Target::File, path));
    if (!trace->openNext(error))
        return nullptr;
    trace->m_thread = std::thread([raw = trace.get()] { raw->run(); });
    return trace;
}

std::unique_ptr<SerialTrace> SerialTrace::toStandardError()
{
    std::unique_ptr<SerialTrace> trace(new SerialTrace(Target::StandardError, QString()));
    trace->m_thread = std::thread([raw = trace.get()] { raw->run(); });
    return trace;
}

SerialTrace::~SerialTrace()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_one();
    if (m_thread.joinable())
        m_thread.join();
}

// Opens the file the next lines go to. Called before the writer starts, then only by it.
bool SerialTrace::openNext(QString *error)
{
    QString path = m_where;
    QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Append;
    if (m_target == Target::Folder) {
        const QString stamp =
            QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd_HHmmss_zzz"));
        path = QDir(m_where).filePath(
            QStringLiteral("trace_%1_%2.log").arg(stamp).arg(static_cast<qint64>(getpid())));
    } else if (m_file) {
        // A rotated single file: the full one becomes FILE.1.
        m_file->close();
        QFile::remove(m_where + QStringLiteral(".1"));
        QFile::rename(m_where, m_where + QStringLiteral(".1"));
        mode = QIODevice::WriteOnly | QIODevice::Truncate;
    }
    auto file = std::make_unique<QFile>(path);
    if (!file->open(mode)) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(path, file->errorString());
        return false;
    }
    m_fileBytes = file->size();
    m_file = std::move(file);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_currentFile = QFileInfo(path).absoluteFilePath();
    }
    if (m_target == Target::Folder)
        pruneFolder();
    return true;
}

void SerialTrace::pruneFolder() const
{
    const QFileInfoList traces =
        QDir(m_where).entryInfoList({QStringLiteral("trace_*.log")}, QDir::Files, QDir::Name);
    // The stamp in the name sorts them oldest first.
    for (int i = 0; i + keptFiles < traces.size(); ++i)
        QFile::remove(traces[i].absoluteFilePath());
}

void SerialTrace::record(bool sent, const QByteArray &bytes)
{
    const qint64 msecs = QDateTime::currentMSecsSinceEpoch();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_recorded;
        if (static_cast<int>(m_queue.size()) >= queueLimit) {
            ++m_dropped;
            ++m_written; // nothing will be written for it
            return;
        }
        m_queue.push_back({msecs, sent, bytes});
    }
    m_wake.notify_one();
}

SerialLine::Trace SerialTrace::observer()
{
    return [this](bool sent, const QByteArray &bytes) { record(sent, bytes); };
}

void SerialTrace::flush()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    const qint64 target = m_recorded;
    m_drained.wait(lock, [&] { return m_written >= target || m_stop; });
}

QString SerialTrace::currentFile() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_currentFile;
}

QByteArray SerialTrace::format(qint64 msecsSinceEpoch, bool sent, const QByteArray &bytes)
{
    const QByteArray stamp = QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch, Qt::UTC)
                                 .toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ"))
                                 .toLatin1();
    return stamp + (sent ? " TX " : " RX ") + bytes.toHex(' ') + " | " +
           SerialLine::printable(bytes).toLatin1();
}

void SerialTrace::write(const QByteArray &line)
{
    if (m_target == Target::StandardError) {
        std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
        return;
    }
    if (!m_file)
        return;
    if (m_fileBytes > 0 && m_fileBytes + line.size() > rotateBytes && !openNext(nullptr))
        m_file.reset(); // nowhere left to write: the trace ends here
    if (!m_file)
        return;
    m_fileBytes += m_file->write(line);
}

void SerialTrace::run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [&] { return m_stop || !m_queue.empty() || m_dropped > 0; });
        std::deque<Block> batch;
        batch.swap(m_queue);
        const qint64 dropped = m_dropped;
        m_dropped = 0;
        const bool stopping = m_stop;
        lock.unlock();

        for (const Block &block : batch)
            write(format(block.msecs, block.sent, block.bytes) + '\n');
        if (dropped > 0) {
            const QByteArray stamp = format(QDateTime::currentMSecsSinceEpoch(), false, {});
            write(stamp.left(stamp.indexOf(' ')) + " -- " + QByteArray::number(dropped) +
                  " blocks not traced: the trace could not keep up\n");
        }
        if (m_file)
            m_file->flush();
        else if (m_target == Target::StandardError)
            std::fflush(stderr);

        lock.lock();
        m_written += static_cast<qint64>(batch.size());
        m_drained.notify_all();
        if (stopping && m_queue.empty())
            return;
    }
}
