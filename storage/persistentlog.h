#pragma once

#include <QFile>
#include <QObject>
#include <QStringList>

class QDateTime;

// The program's log: every message goes to the on-screen view (through screenLine) and,
// while the file is open, to "Corvin.log" in the data folder. The file is opened once,
// appended to, flushed after every message and never reopened after a write failure.
// UI-free; GUI thread only.
class PersistentLog : public QObject
{
    Q_OBJECT

public:
    explicit PersistentLog(QObject *parent = nullptr);
    ~PersistentLog() override;

    // Creates the folder with its parents and opens the log file in it for appending.
    // On failure "Could not open the persistent log: %1" goes to the screen only.
    bool open(const QString &folder);
    void close();
    bool isOpen() const { return m_file.isOpen(); }
    QString fileName() const { return m_file.fileName(); }

    // Logs a message stamped with the current local time (see appendAt).
    void append(const QString &message);
    // Logs a message stamped with `now`: trimmed; blank messages are ignored; one line per
    // line-feed-separated part (empty parts included), each part trimmed. Screen lines are
    // "[HH:mm:ss.zzz] part"; file lines carry the date "yyyy-MM-dd " in front.
    void appendAt(const QString &message, const QDateTime &now);

    // "[HH:mm:ss.zzz] " for a local time.
    static QString timePrefix(const QDateTime &now);
    // The trimmed, line-feed-separated parts of a message; empty for a blank message.
    static QStringList messageParts(const QString &message);

signals:
    // One line for the on-screen log, prefix included.
    void screenLine(const QString &line);

private:
    QFile m_file;
};
