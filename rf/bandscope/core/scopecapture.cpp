#include "scopecapture.h"

#include "bandscopehistory.h"
#include "scopeport.h"
#include "scoperecord.h"
#include "scopetext.h"

#include <QSocketNotifier>
#include <QTimer>

ScopeCapture::ScopeCapture(ScopePort &port, ScopeConnection &connection, ScopeRecord &record,
                           BandScopeHistory &history, bool italian, QObject *parent)
    : QObject(parent)
    , m_port(port)
    , m_connection(connection)
    , m_record(record)
    , m_history(history)
    , m_italian(italian)
    , m_clock(ScopeClock::system())
{
    m_timer = new QTimer(this);
    m_timer->setInterval(tickMs);
    connect(m_timer, &QTimer::timeout, this, &ScopeCapture::tick);
    // After a read triggered by arriving bytes, the next such read waits a little, so that a
    // slow line is read in a few chunks per row instead of byte by byte.
    m_rearm = new QTimer(this);
    m_rearm->setSingleShot(true);
    m_rearm->setInterval(minReadSpacingMs);
    connect(m_rearm, &QTimer::timeout, this, [this] {
        if (m_notifier)
            m_notifier->setEnabled(true);
    });
}

ScopeCapture::~ScopeCapture() = default;

QString ScopeCapture::text(const char *english, const char *italian) const
{
    return ScopeText::pick(m_italian, english, italian);
}

void ScopeCapture::log(const QString &text)
{
    const QString line = QStringLiteral("[%1] ").arg(
                             m_clock.now().toLocalTime().toString(QStringLiteral("HH:mm:ss.zzz"))) +
                         text;
    ScopeLog::append(&m_record.captureLog, line);
    emit logLine(line);
}

void ScopeCapture::watchPort(bool on)
{
    if (m_notifier) {
        // This may run inside the notifier's own signal: let the event loop delete it.
        m_notifier->setEnabled(false);
        m_notifier->deleteLater();
        m_notifier = nullptr;
    }
    m_rearm->stop();
    const int fd = on ? m_port.descriptor() : -1;
    if (fd < 0)
        return;
    m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ScopeCapture::portReadable);
}

void ScopeCapture::portReadable()
{
    m_notifier->setEnabled(false);
    tick();
    if (m_running && m_notifier)
        m_rearm->start();
}

void ScopeCapture::start(const ScopeRequest &request)
{
    if (m_running)
        return;
    m_request = request;
    m_stopPending = false;
    m_record.lastDsDurationMs = 0;

    m_record.manual = false;
    m_record.requestedCentreHz = request.centreHz;
    m_record.requestedSpanCode = request.spanCode;
    m_record.peakHoldRequested = request.peakHold;
    const ScopeHistoryKey &key = m_history.key();
    if (key.centreHz != request.centreHz || key.spanCode != request.spanCode) {
        m_history.clear();
        emit historyChanged();
    }

    m_record.setupVerified = false;
    m_record.actualPeakHold = -1;
    m_record.frame.reset(request.spanCode);
    m_record.raw.clear();
    m_rawBytes = 0;
    m_record.captureLog.clear();
    m_record.dsTime = m_clock.now().toUTC();
    m_processed = false;
    m_frames = 0;
    m_running = true;

    m_setup.reset(request.centreHz, request.spanCode, request.peakHold);
    m_waitingForQuiet = true;
    m_txMs = m_quietMs = nowMs();
    m_timer->start();
    watchPort(true);
    emit logReplaced(QString());
    emit stateChanged();
    emit statusChanged(
        text("Waiting for serial quiet before AM...", "Attesa seriale libera prima di AM..."));
}

void ScopeCapture::stop()
{
    if (!m_running)
        return;
    if (m_request.continuous && m_setup.state() == ScopeSetup::DsSent && !m_stopPending) {
        m_stopPending = true;
        emit stateChanged();
        emit statusChanged(
            text("Stopping after current DS; click again to abort and close COM.",
                 "Arresto dopo il DS corrente; premi ancora per interrompere e chiudere COM."));
        return;
    }
    finish(text("Stopped by user.", "Arrestato dall'utente."));
}

void ScopeCapture::send(const QByteArray &command)
{
    QString error;
    if (!write(command, &error))
        finish(error);
}

bool ScopeCapture::write(const QByteArray &command, QString *error)
{
    m_lastStatus = AmStatus();
    m_questionSeen = false;
    m_setupLines.clear();
    const QByteArray bytes = command + '\r';
    log(QStringLiteral("TX: %1 | HEX %2").arg(QString::fromLatin1(command), ScopeLog::hex(bytes)));
    if (!m_port.write(bytes, error))
        return false;
    m_txMs = m_quietMs = nowMs();
    if (command == "DS") {
        m_dsMs = m_txMs;
        m_record.dsTime = m_clock.now().toUTC();
    }
    emit statusChanged(text("Waiting for %1...", "Attesa %1...").arg(QString::fromLatin1(command)));
    return true;
}

void ScopeCapture::tick()
{
    if (!m_running)
        return;
    bool ok = false;
    QString error;
    const QByteArray bytes = m_port.read(readBytes, &ok, &error);
    if (!ok) {
        finish(error);
        return;
    }
    const qint64 now = nowMs();
    if (!bytes.isEmpty()) {
        m_quietMs = now;
        log(QStringLiteral("RX +%1 ms: %2 | HEX %3")
                .arg(now - m_txMs)
                .arg(ScopeLog::printable(bytes), ScopeLog::hex(bytes)));
    }
    if (m_waitingForQuiet)
        waitForQuiet();
    else if (m_setup.state() < ScopeSetup::DsSent)
        serviceSetup(bytes);
    else
        serviceFrame(bytes);
}

void ScopeCapture::waitForQuiet()
{
    const qint64 now = nowMs();
    if (now - m_quietMs >= quietBeforeAmMs) {
        m_waitingForQuiet = false;
        send("AM");
    } else if (now - m_txMs > quietLimitMs) {
        finish(text("Serial never became quiet.", "Seriale mai libera."));
    }
}

void ScopeCapture::serviceSetup(const QByteArray &bytes)
{
    m_setupLines.feed(bytes, [this](const QByteArray &line, bool overflowed) {
        if (overflowed)
            return;
        if (line.trimmed() == "?")
            m_questionSeen = true;
        const AmStatus status = AmStatus::parse(line);
        if (status.isValid())
            m_lastStatus = status;
    });
    const qint64 now = nowMs();
    if (now - m_txMs < setupMinimumMs || now - m_quietMs < setupQuietMs) {
        if (now - m_txMs >= setupLimitMs)
            finish(text("Setup response never settled.",
                        "Risposta di configurazione non stabilizzata."));
        return;
    }
    if (m_setupLines.hasPartialLine()) {
        finish(text("Incomplete setup reply; DS not sent.",
                    "Risposta di configurazione incompleta; DS non inviato."));
        return;
    }
    const QByteArray command = m_setup.next(m_lastStatus, m_questionSeen);
    if (command.isEmpty()) {
        finish(m_setup.error());
        return;
    }
    if (command == "DS") {
        const AmStatus &status = m_setup.lastStatus();
        m_record.setupVerified = true;
        m_record.actualPeakHold = status.peakHold;
        if (!m_history.isEmpty() && m_history.key().peakHold != status.peakHold) {
            m_history.clear();
            emit historyChanged();
        }
        log(QStringLiteral("Verified AM: CF=%1 SW=%2 MF=%3 PH=%4")
                .arg(status.centreHz)
                .arg(status.spanCode)
                .arg(status.markerHz)
                .arg(status.peakHold));
        emit stateChanged();
    }
    send(command);
}

void ScopeCapture::serviceFrame(const QByteArray &bytes)
{
    if (!bytes.isEmpty()) {
        m_rawBytes += bytes.size();
        m_record.appendRaw(bytes);
        m_record.frame.feed(bytes);
    }
    const DsFrame &frame = m_record.frame;
    if (m_rawBytes > ScopeRecord::maxRawBytes) {
        finish(text("Unexpected serial stream.", "Flusso seriale inatteso."));
    } else if (frame.rejected) {
        finish(text("Receiver rejected DS.", "Il ricevitore ha rifiutato DS."));
    } else if (frame.malformed > 0) {
        finish(text("Invalid or duplicated DS row. Partial data retained.",
                    "Riga DS non valida o duplicata. Dati parziali conservati."));
    } else if (frame.isComplete()) {
        // Back to back, the next "DS" goes out at once; the last frame still waits for quiet,
        // so a receiver that keeps streaming is caught before the connection is kept.
        const bool another = m_request.continuous && !m_stopPending;
        if ((another && m_request.backToBack) || nowMs() - m_quietMs >= frameQuietMs)
            frameComplete();
    } else {
        showProgress();
    }
}

void ScopeCapture::frameComplete()
{
    m_record.lastDsDurationMs = nowMs() - m_dsMs;
    if (!m_request.continuous || m_stopPending) {
        process();
        ++m_frames;
        finish(m_request.continuous
                   ? text("Continuous capture stopped.", "Acquisizione continua arrestata.")
                   : text("Sweep complete.", "Scansione completata."));
        return;
    }
    // The next "DS" goes out before the frame is handed on: drawing it then overlaps the
    // receiver's next frame instead of delaying it. No bytes are read in between.
    QString error;
    const bool sent = write("DS", &error);
    const QDateTime dsTime = m_record.dsTime;
    process();
    ++m_frames;
    if (!m_running)
        return; // ended by whoever took the frame
    if (sent)
        m_record.dsTime = dsTime;
    m_record.frame.reset(m_request.spanCode);
    m_record.raw.clear();
    m_rawBytes = 0;
    m_processed = false;
    if (!sent) {
        finish(error);
        return;
    }
    // The last frame of a limited run ends it as a Stop would: after the frame, quiet.
    if (m_request.frameLimit > 0 && m_frames + 1 >= m_request.frameLimit) {
        m_stopPending = true;
        emit stateChanged();
    }
}

void ScopeCapture::showProgress()
{
    const qint64 elapsed = nowMs() - m_dsMs;
    if (elapsed > dsLimitMs) {
        finish(text("DS timeout. Partial data retained.", "Timeout DS. Dati parziali conservati."));
        return;
    }
    const DsFrame &frame = m_record.frame;
    QString status = text("DS: %1/%2 rows | %3 s", "DS: %1/%2 righe | %3 s")
                         .arg(frame.rowsReceived)
                         .arg(frame.rows > 0 ? QString::number(frame.rows) : QStringLiteral("?"))
                         .arg(elapsed / 1000.0, 0, 'f', 1);
    const qint64 last = m_record.lastDsDurationMs;
    if (last > 0) {
        if (elapsed >= last)
            status +=
                text(" | Beyond last sweep duration", " | Oltre la durata dell'ultima scansione");
        else
            status += text(" | Approx. %1 s left (last sweep)",
                           " | Circa %1 s residui (ultima scansione)")
                          .arg((last - elapsed) / 1000.0, 0, 'f', 1);
    }
    if (m_stopPending)
        status += text(" | Stop pending", " | Arresto richiesto");
    emit statusChanged(status);
}

void ScopeCapture::process()
{
    if (!m_record.setupVerified || m_processed)
        return;
    const QDateTime now = m_clock.now().toUTC();
    m_record.dsTime = now;
    const ScopeHistoryKey key{m_request.centreHz, m_request.spanCode, m_record.actualPeakHold,
                              m_record.frame.binCount()};
    m_history.add(key, m_record.frame.codes, now.toMSecsSinceEpoch());
    m_processed = true;
    emit historyChanged();
    emit frameAdded();
}

void ScopeCapture::finish(const QString &message)
{
    if (!m_running)
        return;
    m_timer->stop();
    watchPort(false);
    // Not running from here on: restoring the tuning may lose the link, and whoever handles
    // that may ask this capture to stop.
    m_running = false;
    m_waitingForQuiet = false;
    const bool complete = m_record.frame.isComplete();

    bool kept = false;
    QString error;
    if (m_request.session) {
        if (complete) {
            kept = true;
            ScopeLog::appendRaw(&m_record.captureLog,
                                QStringLiteral("\nService session retained; RX still in Band "
                                               "Scope. VF/EX are manual.\n"));
        }
    } else if (complete) {
        kept = m_connection.restore(&error);
        if (kept)
            ScopeLog::appendRaw(&m_record.captureLog,
                                QStringLiteral("\n> VF; RX confirmed; tuning restored.\n"));
    }
    if (!kept) {
        ScopeLog::appendRaw(&m_record.captureLog,
                            QStringLiteral("\nCOM closed for isolation; check RX front panel. ") +
                                error + QLatin1Char('\n'));
        m_connection.isolate();
    }

    if (complete)
        process();
    const bool sessionKept = kept && m_request.session;
    m_request.continuous = false;
    m_stopPending = false;
    ScopeLog::appendRaw(&m_record.captureLog,
                        QStringLiteral("\nResult: ") + message + QLatin1Char('\n'));
    emit logReplaced(m_record.logViewText());
    emit stateChanged();
    emit finished(summary(message, sessionKept, !kept), complete, kept);
}

QString ScopeCapture::summary(const QString &message, bool sessionKept, bool isolated) const
{
    const DsFrame &frame = m_record.frame;
    const ScopeFrameCounts counts = ScopeFrameCounts::of(frame);
    QString text =
        message + this->text(" %1/%2 rows; valid=%3, 0=%4, 1=%5, missing=%6, omitted=%7.",
                             " %1/%2 righe; validi=%3, 0=%4, 1=%5, mancanti=%6, non trasmessi=%7.")
                      .arg(frame.rowsReceived)
                      .arg(frame.rows > 0 ? QString::number(frame.rows) : QStringLiteral("?"))
                      .arg(counts.valid)
                      .arg(counts.zeros)
                      .arg(counts.ones)
                      .arg(counts.missing)
                      .arg(counts.omitted);
    if (counts.valid > 0 && counts.saturated == counts.valid)
        text += this->text(" All valid levels saturated (F).",
                           " Tutti i livelli validi a fondo scala (F).");
    if (!m_record.setupVerified)
        text += this->text(" Center/span unconfirmed: raw indices only.",
                           " Centro/span non confermati: solo indici grezzi.");
    if (sessionKept)
        text += this->text(" Scope COM remains open. Use VF/EX in Serial diagnostics.",
                           " COM Scope resta aperta. Usa VF/EX in Diagnostica seriale.");
    if (isolated)
        text += this->text(" Receiver disconnected; check RX mode and reconnect.",
                           " Ricevitore disconnesso; verifica la modalità RX e riconnetti.");
    return text;
}
