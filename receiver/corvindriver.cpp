#include "corvindriver.h"

#include "replyparser.h"

#include <QElapsedTimer>
#include <QMutexLocker>

namespace {

constexpr char carriageReturn = '\r';

bool isDroppedByte(char byte)
{
    return byte == '\n' || byte == '\x11' || byte == '\x13';
}

void assign(QString *target, const QString &value)
{
    if (target)
        *target = value;
}

} // namespace

Corvindriver::Corvindriver(QObject *parent)
    : QObject(parent)
{
    qRegisterMetaType<Corvindriver::State>("Corvindriver::State");
}

Corvindriver::~Corvindriver()
{
    QMutexLocker lock(&m_lineLock);
    m_line.close();
}

bool Corvindriver::openPort(const QString &portName)
{
    m_open = false;
    m_levelErrorLatched = false;
    m_linkLost = false;
    {
        QMutexLocker lock(&m_lineLock);
        m_open = m_line.open(portName);
    }
    if (!m_open) {
        emit errorOccurred(tr("Unable to open serial port %1").arg(portName));
        return false;
    }
    m_state = State();
    return true;
}

void Corvindriver::closePort()
{
    QMutexLocker lock(&m_lineLock);
    m_line.close();
    m_open = false;
}

Corvindriver::ExchangeResult Corvindriver::exchange(const QString &command,
                                                    const QByteArray &expectedPrefix,
                                                    QString *reply, QString *error,
                                                    RetryPolicy policy, bool *resynchronised)
{
    const ExchangeResult result =
        exchangeLocked(command, expectedPrefix, reply, error, policy, resynchronised);
    // Told after the lock is gone, so a listener may close the port.
    if (result == ExchangeResult::LinkError && m_line.isGone() && !m_linkLost) {
        m_linkLost = true;
        emit linkLost();
    }
    return result;
}

Corvindriver::ExchangeResult Corvindriver::exchangeLocked(const QString &command,
                                                          const QByteArray &expectedPrefix,
                                                          QString *reply, QString *error,
                                                          RetryPolicy policy, bool *resynchronised)
{
    QMutexLocker lock(&m_lineLock);
    assign(reply, QString());
    assign(error, QString());
    if (resynchronised)
        *resynchronised = false;
    const int attempts = policy == RetryPolicy::RetryOnce ? 2 : 1;
    const QByteArray bytes = command.toLatin1() + carriageReturn;

    for (int attemptIndex = 0; attemptIndex < attempts; ++attemptIndex) {
        QString attemptError;
        if (m_resyncPending && !resynchronise(command, &attemptError)) {
            assign(error, attemptError);
            return ExchangeResult::LinkError;
        }
        m_resyncPending = false;

        ExchangeResult result = attempt(command, bytes, expectedPrefix, reply, &attemptError);
        if (result == ExchangeResult::NoReply && policy == RetryPolicy::SilenceIsSuccess)
            result = ExchangeResult::Ok;
        if (result == ExchangeResult::Ok) {
            if (attemptIndex > 0)
                emit serialDiagnostic(tr("Receiver answered %1 after a retry.").arg(command));
            return result;
        }
        if (result == ExchangeResult::Rejected) {
            assign(error, attemptError);
            return result;
        }
        m_resyncPending = true;
        if (attemptIndex + 1 == attempts) {
            assign(error, attemptError);
            return result;
        }
        emit serialDiagnostic(tr("%1 Resynchronizing with CR and retrying.").arg(attemptError));
        if (resynchronised)
            *resynchronised = true;
    }
    Q_UNREACHABLE();
    return ExchangeResult::LinkError;
}

bool Corvindriver::resynchronise(const QString &command, QString *error)
{
    const auto fail = [&] {
        *error = tr("Could not resynchronize the receiver before %1 (%2).")
                     .arg(command, m_line.lastError());
        return false;
    };
    if (!m_line.flush() || !m_line.write(QByteArray(1, carriageReturn)))
        return fail();
    QElapsedTimer drain;
    drain.start();
    while (drain.elapsed() < resyncDrainMs) {
        bool ok = false;
        m_line.read(replyChunkBytes, &ok);
        if (!ok)
            return fail();
    }
    return true;
}

Corvindriver::ExchangeResult Corvindriver::attempt(const QString &command, const QByteArray &bytes,
                                                   const QByteArray &expectedPrefix, QString *reply,
                                                   QString *error)
{
    if (!m_line.purgeInput()) {
        *error = tr("Could not clear pending serial input before %1 (%2).")
                     .arg(command, m_line.lastError());
        return ExchangeResult::LinkError;
    }
    if (!m_line.write(bytes)) {
        *error = tr("Failed to write receiver command %1 (%2).").arg(command, m_line.lastError());
        return ExchangeResult::LinkError;
    }
    return readReply(command, expectedPrefix, reply, error);
}

bool Corvindriver::isAcceptable(const QString &command, const QByteArray &expectedPrefix,
                                const QByteArray &line, bool rejected)
{
    if (command == QLatin1String("RX"))
        return ReplyParser::parseTunedFrequency(QString::fromLatin1(line), nullptr);
    if (!expectedPrefix.isEmpty())
        return ReplyParser::isPrefixedReply(expectedPrefix, line);
    return line.isEmpty() && !rejected;
}

Corvindriver::ExchangeResult Corvindriver::readReply(const QString &command,
                                                     const QByteArray &expectedPrefix,
                                                     QString *reply, QString *error)
{
    const QString rejectedText = tr("Receiver rejected %1 (?).").arg(command);
    QElapsedTimer window;
    window.start();
    QByteArray line;
    bool overflow = false;
    bool rejected = false;
    for (;;) {
        bool ok = false;
        const QByteArray chunk = m_line.read(replyChunkBytes, &ok);
        if (!ok) {
            *error = tr("Failed to read the receiver reply to %1 (%2).")
                         .arg(command, m_line.lastError());
            return ExchangeResult::LinkError;
        }
        if (chunk.isEmpty() && rejected) {
            *error = rejectedText;
            return ExchangeResult::Rejected;
        }
        for (const char byte : chunk) {
            if (isDroppedByte(byte))
                continue;
            if (byte != carriageReturn) {
                if (line.size() < maxLineBytes)
                    line.append(byte);
                else
                    overflow = true;
                continue;
            }
            if (!overflow) {
                const QByteArray judged = line.trimmed();
                if (judged == "?") {
                    rejected = true;
                } else if (isAcceptable(command, expectedPrefix, judged, rejected)) {
                    assign(reply, QString::fromLatin1(judged));
                    return ExchangeResult::Ok;
                }
            }
            line.clear();
            overflow = false;
        }
        if (window.elapsed() >= replyWindowMs) {
            if (rejected) {
                *error = rejectedText;
                return ExchangeResult::Rejected;
            }
            *error = tr("No complete receiver reply to %1 within %2 ms.")
                         .arg(command, QString::number(replyWindowMs));
            return ExchangeResult::NoReply;
        }
    }
}
