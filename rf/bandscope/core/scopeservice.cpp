#include "scopeservice.h"

#include "bandscopehistory.h"
#include "scopeport.h"
#include "scoperecord.h"
#include "scopetext.h"

#include <QTimer>

ScopeService::ScopeService(ScopePort &port, ScopeRecord &record, BandScopeHistory &history,
                           bool italian, QObject *parent)
    : QObject(parent)
    , m_port(port)
    , m_record(record)
    , m_history(history)
    , m_italian(italian)
    , m_clock(ScopeClock::system())
{
    m_timer = new QTimer(this);
    m_timer->setInterval(tickMs);
    connect(m_timer, &QTimer::timeout, this, &ScopeService::tick);
}

QString ScopeService::text(const char *english, const char *italian) const
{
    return ScopeText::pick(m_italian, english, italian);
}

void ScopeService::log(const QString &text)
{
    const QString line =
        QStringLiteral("[%1 +%2 ms] ")
            .arg(m_clock.now().toLocalTime().toString(QStringLiteral("HH:mm:ss.zzz")))
            .arg(m_clock.elapsedMs() - m_openMs) +
        text;
    ScopeLog::append(&m_log, line);
    emit logLine(line);
}

bool ScopeService::open(const QString &portName)
{
    if (m_open)
        return true;
    QString error;
    if (!m_port.open(portName, &error)) {
        emit statusChanged(text("Cannot open service COM.", "Impossibile aprire COM in service."));
        return false;
    }
    m_open = true;
    m_paused = false;
    m_pending = false;
    m_dsPending = false;
    m_log.clear();
    emit logCleared();
    m_openMs = m_clock.elapsedMs();
    log(QStringLiteral("COM opened: %1; no automatic TX").arg(portName));
    m_timer->start();
    emit stateChanged();
    emit statusChanged(
        text("Scope COM ready. Capture a sweep or start continuous acquisition.",
             "COM Scope pronta. Acquisisci una scansione oppure avvia il continuo."));
    return true;
}

void ScopeService::sendCommand(const QString &commandText)
{
    if (!m_open || m_pending || m_paused)
        return;
    const QString command = commandText.trimmed().toUpper();
    for (const QChar c : command) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            return;
    }
    const bool ds = command == QLatin1String("DS");
    if (ds) {
        m_record.setupVerified = false;
        m_record.actualPeakHold = -1;
        m_record.manual = true;
        m_history.clear();
        m_record.frame.reset(0);
        m_record.raw.clear();
        m_rawBytes = 0;
        m_record.captureLog.clear();
        m_record.dsTime = m_clock.now().toUTC();
        emit manualFramePrepared();
    }
    const QByteArray bytes = command.toLatin1() + '\r';
    log(QStringLiteral("TX: %1 | HEX %2")
            .arg(command.isEmpty() ? QStringLiteral("<CR>") : command, ScopeLog::hex(bytes)));
    QString error;
    if (!m_port.write(bytes, &error)) {
        log(QStringLiteral("TX ERROR: ") + error);
        if (ds)
            m_record.captureLog = m_log;
        close();
        return;
    }
    m_txMs = m_quietMs = m_clock.elapsedMs();
    m_pending = true;
    m_dsPending = ds;
    emit stateChanged();
    emit statusChanged(
        text("Observing raw serial response...", "Osservazione risposta seriale grezza..."));
}

void ScopeService::tick()
{
    if (!m_open)
        return;
    bool ok = false;
    QString error;
    const QByteArray bytes = m_port.read(readBytes, &ok, &error);
    if (!ok) {
        log(QStringLiteral("RX ERROR: ") + error);
        close();
        return;
    }
    const qint64 now = m_clock.elapsedMs();
    if (!bytes.isEmpty())
        log(QStringLiteral("RX: %1 | HEX %2")
                .arg(ScopeLog::printable(bytes), ScopeLog::hex(bytes)));
    if (!m_pending)
        return;
    if (m_dsPending) {
        const DsFrame &frame = m_record.frame;
        if (!bytes.isEmpty()) {
            m_rawBytes += bytes.size();
            m_record.appendRaw(bytes);
            m_record.frame.feed(bytes);
            m_quietMs = now;
        }
        const QString rows = frame.rows > 0 ? QString::number(frame.rows) : QStringLiteral("?");
        if (frame.rejected || frame.malformed > 0 || m_rawBytes > ScopeRecord::maxRawBytes) {
            endCommand(QStringLiteral("DS: %1/%2 rows; malformed=%3; rejected=%4")
                           .arg(frame.rowsReceived)
                           .arg(rows)
                           .arg(frame.malformed)
                           .arg(frame.rejected ? 1 : 0));
            return;
        }
        if (frame.isComplete() && now - m_quietMs >= frameQuietMs) {
            endCommand(QStringLiteral("DS: %1/%2 rows; malformed=0; rejected=0")
                           .arg(frame.rowsReceived)
                           .arg(rows));
            return;
        }
    }
    const qint64 windowMs =
        1000LL * (m_dsPending ? qMax(m_timeoutS, dsMinimumWindowS) : m_timeoutS);
    if (now - m_txMs >= windowMs)
        endCommand(m_dsPending ? QStringLiteral("DS timeout; partial frame retained.")
                               : QStringLiteral("Observation window ended (not an ACK verdict)."));
}

void ScopeService::endCommand(const QString &message)
{
    log(message);
    const bool ds = m_dsPending;
    m_pending = false;
    m_dsPending = false;
    if (ds) {
        m_record.captureLog = m_log;
        emit manualFrameEnded();
    }
    emit stateChanged();
    emit statusChanged(message);
}

void ScopeService::close()
{
    if (!m_open)
        return;
    m_timer->stop();
    if (m_pending)
        log(QStringLiteral("Service closed; partial response retained."));
    log(QStringLiteral("COM closed; no automatic TX. Use EX before closing to release remote "
                       "mode."));
    m_port.close();
    m_open = false;
    m_pending = false;
    m_dsPending = false;
    emit closed();
    emit stateChanged();
    emit statusChanged(text("Service closed. Normal Connect will restore normal tuning.",
                            "Service chiuso. Connect ripristina la sintonia normale."));
}

void ScopeService::pause()
{
    m_paused = true;
    m_timer->stop();
}

void ScopeService::resume()
{
    m_paused = false;
    if (m_open)
        m_timer->start();
}

void ScopeService::drop()
{
    m_timer->stop();
    m_paused = false;
    m_open = false;
    m_pending = false;
    m_dsPending = false;
    emit stateChanged();
}
