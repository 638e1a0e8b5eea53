#pragma once

// Stand-ins for the band scope's line, connection and clock: a port whose receiver answers
// from a table of replies, a connection that records restores and isolations, and a clock the
// test moves by hand; and small helpers of the band-scope tests.

#include "scopecapture.h"
#include "scopeport.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>

#include <functional>

class FakePort : public ScopePort
{
public:
    bool open(const QString &portName, QString *error) override
    {
        if (failOpen) {
            *error = QStringLiteral("Errore apertura porta: ") + portName;
            return false;
        }
        isOpenNow = true;
        return true;
    }
    void close() override
    {
        isOpenNow = false;
        ++closes;
    }
    bool isOpen() const override { return isOpenNow; }
    bool write(const QByteArray &bytes, QString *error) override
    {
        if (failWrite) {
            *error = QStringLiteral("write (errno 5)");
            return false;
        }
        written += bytes;
        const QByteArray command = bytes.chopped(1);
        if (replies.contains(command))
            incoming += replies.value(command);
        if (onCommand)
            onCommand(command);
        return true;
    }
    QByteArray read(int maxBytes, bool *ok, QString *error) override
    {
        if (failRead) {
            *ok = false;
            *error = QStringLiteral("read (errno 5)");
            return {};
        }
        *ok = true;
        const QByteArray chunk = incoming.left(maxBytes);
        incoming.remove(0, chunk.size());
        return chunk;
    }

    // The receiver's answer to each command (without CR), added to what the next read gets.
    QHash<QByteArray, QByteArray> replies;
    std::function<void(const QByteArray &command)> onCommand;
    QByteArray incoming;
    QByteArray written;
    bool isOpenNow = true;
    bool failOpen = false;
    bool failWrite = false;
    bool failRead = false;
    int closes = 0;
};

class FakeConnection : public ScopeConnection
{
public:
    bool restore(QString *error) override
    {
        ++restores;
        if (onRestore)
            onRestore();
        *error = restoreError;
        return restoreError.isEmpty();
    }
    void isolate() override { ++isolations; }

    QString restoreError;
    // Runs inside restore(), as the window's handling of a lost link would.
    std::function<void()> onRestore;
    int restores = 0;
    int isolations = 0;
};

struct ManualClock
{
    qint64 ms = 0;
    QDateTime start = QDateTime(QDate(2024, 5, 1), QTime(12, 0, 0), Qt::UTC);

    ScopeClock clock()
    {
        return {[this] { return ms; }, [this] { return start.addMSecs(ms); }};
    }
};

// A frame of `rows` rows, every bin `code` (a hexadecimal digit).
inline QByteArray scopeFrame(int rows, char code = '7')
{
    QByteArray bytes;
    for (int r = rows; r >= 1; --r)
        bytes += "DS" + QByteArray::number(r * 32 - 1).rightJustified(4, '0') + ':' +
                 QByteArray(32, code) + '\r';
    return bytes;
}

inline QByteArray amStatus(qint64 centre, int span, qint64 marker, int peakHold)
{
    return "AM CF" + QByteArray::number(centre).rightJustified(10, '0') + " SW" +
           QByteArray::number(span) + " MF" + QByteArray::number(marker).rightJustified(10, '0') +
           " PH" + QByteArray::number(peakHold) + '\r';
}

// The commands a simulated receiver took, without the lone CRs.
inline QList<QByteArray> withoutLoneCrs(const QList<QByteArray> &commands)
{
    QList<QByteArray> result;
    for (const QByteArray &command : commands) {
        if (!command.isEmpty())
            result << command;
    }
    return result;
}
