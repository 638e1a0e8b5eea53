// The receiver's command set, built on Corvindriver::exchange().
#include "corvindriver.h"

#include "replyparser.h"

#include <QElapsedTimer>
#include <QMutexLocker>

namespace {

constexpr int autoMode = static_cast<int>(ReceiverMode::Auto);
constexpr int scopeReadBytes = 4096;
constexpr int scopeQuietMs = 350;
constexpr int scopeDrainLimitMs = 2500;

void assign(QString *target, const QString &value)
{
    if (target)
        *target = value;
}

} // namespace

bool Corvindriver::acknowledged(const QString &command, QString *error)
{
    return exchange(command, QByteArray(), nullptr, error, RetryPolicy::RetryOnce) ==
           ExchangeResult::Ok;
}

bool Corvindriver::tune(qint64 frequencyHz)
{
    if (frequencyHz < static_cast<qint64>(minFrequency) ||
        frequencyHz > static_cast<qint64>(maxFrequency)) {
        emit errorOccurred(tr("Frequency out of range (100 kHz - 3 GHz)"));
        return false;
    }
    // The receiver tunes in 100 Hz steps: send the multiple of 100 Hz at or below.
    const QString digits =
        QStringLiteral("%1").arg(frequencyHz / 100, 8, 10, QLatin1Char('0')) + QLatin1String("00");
    QString error;
    bool resynchronised = false;
    const ExchangeResult result = exchange(QLatin1String("RF") + digits, QByteArray(), nullptr,
                                           &error, RetryPolicy::RetryOnce, &resynchronised);
    if (result == ExchangeResult::Rejected || result == ExchangeResult::LinkError) {
        emit errorOccurred(error);
        return false;
    }
    const bool acknowledgedAtOnce = result == ExchangeResult::Ok && !resynchronised;
    if (!acknowledgedAtOnce && !confirmTuning(digits, error))
        return false;

    m_state.frequency = static_cast<quint64>(frequencyHz);
    if (m_state.mode == autoMode && !checkAutoAfterTune()) {
        m_state.effectiveMode = autoMode;
        emit stateChanged(m_state);
        return false;
    }
    emit stateChanged(m_state);
    return true;
}

// After a retried or unanswered RF: read the tuned frequency back with RX.
bool Corvindriver::confirmTuning(const QString &digits, const QString &diagnostic)
{
    if (!diagnostic.isEmpty())
        emit serialDiagnostic(diagnostic);
    QString reply;
    QString error;
    if (exchange(QStringLiteral("RX"), QByteArrayLiteral("RX"), &reply, &error,
                 RetryPolicy::SingleTry) != ExchangeResult::Ok) {
        emit errorOccurred(error);
        return false;
    }
    QString reported;
    ReplyParser::parseTunedFrequency(reply, &reported);
    if (reported == digits) {
        emit serialDiagnostic(
            tr("Receiver tuning confirmed by RX at %1 Hz.").arg(reported.toULongLong()));
        return true;
    }
    m_state.frequency = reported.toULongLong();
    emit stateChanged(m_state);
    emit errorOccurred(
        tr("Receiver tuning could not be confirmed: requested %1 Hz, RX reported %2 Hz.")
            .arg(QString::number(digits.toULongLong()), QString::number(reported.toULongLong())));
    return false;
}

// In AUTO the receiver picks the mode of the new frequency: find out which.
bool Corvindriver::checkAutoAfterTune()
{
    m_state.effectiveMode = autoMode;
    bool autoOn = false;
    int code = autoMode;
    if (!queryAuto(&autoOn, &code))
        return false;
    m_state.effectiveMode = code;
    if (!autoOn) {
        if (!enableAuto(&code))
            return false;
        m_state.effectiveMode = code;
    }
    return true;
}

bool Corvindriver::setMode(int mode)
{
    if (mode < 0 || mode >= receiverModeCount) {
        emit errorOccurred(tr("Invalid receiver mode %1.").arg(mode));
        return false;
    }
    QString error;
    if (mode == autoMode) {
        int code = autoMode;
        if (enableAuto(&code)) {
            m_state.mode = autoMode;
            m_state.effectiveMode = code;
            emit stateChanged(m_state);
            return true;
        }
        if (m_state.mode == autoMode) {
            m_state.effectiveMode = autoMode;
            emit stateChanged(m_state);
            return false;
        }
        // Put the receiver back into the manual mode it had.
        if (!acknowledged(QStringLiteral("MD%1").arg(m_state.mode), &error))
            emit errorOccurred(error);
        return false;
    }
    if (m_state.mode == autoMode && !acknowledged(QStringLiteral("AU0"), &error)) {
        emit errorOccurred(error);
        return false;
    }
    if (!acknowledged(QStringLiteral("MD%1").arg(mode), &error)) {
        emit errorOccurred(error);
        return false;
    }
    m_state.mode = mode;
    m_state.effectiveMode = mode;
    emit stateChanged(m_state);
    return true;
}

bool Corvindriver::queryAuto(bool *autoOn, int *mode)
{
    for (int tryIndex = 0; tryIndex < 2; ++tryIndex) {
        QString reply;
        QString error;
        if (exchange(QStringLiteral("AU"), QByteArrayLiteral("AU"), &reply, &error,
                     RetryPolicy::SingleTry) == ExchangeResult::Ok) {
            bool on = false;
            int code = 0;
            if (ReplyParser::parseAutoStatus(reply, &on, &code)) {
                if (autoOn)
                    *autoOn = on;
                if (mode)
                    *mode = code;
                return true;
            }
            error = tr("Invalid receiver AUTO reply: %1").arg(reply);
        }
        if (tryIndex == 0)
            emit serialDiagnostic(tr("%1 Retrying the AUTO query.").arg(error));
        else
            emit errorOccurred(error);
    }
    return false;
}

bool Corvindriver::enableAuto(int *mode)
{
    QString error;
    if (!acknowledged(QStringLiteral("AU1"), &error)) {
        emit errorOccurred(error);
        return false;
    }
    bool autoOn = false;
    int code = autoMode;
    if (!queryAuto(&autoOn, &code))
        return false;
    if (!autoOn) {
        emit errorOccurred(tr("The receiver did not enable AUTO mode."));
        return false;
    }
    if (mode)
        *mode = code;
    return true;
}

void Corvindriver::reportLevelError(const QString &message, QString *errorText)
{
    if (errorText)
        *errorText = message;
    else if (!m_levelErrorLatched)
        emit errorOccurred(message);
    m_levelErrorLatched = true;
}

bool Corvindriver::readSignalLevel(int *level, QString *errorText)
{
    if (!level)
        return false;
    *level = m_state.signalLevel;
    QString reply;
    QString error;
    const ExchangeResult result = exchange(QStringLiteral("LM"), QByteArrayLiteral("LM"), &reply,
                                           &error, RetryPolicy::SingleTry);
    assign(errorText, error);
    if (result != ExchangeResult::Ok) {
        reportLevelError(error, errorText);
        return false;
    }
    int value = -1;
    if (!ReplyParser::parseLevel(reply, &value) || value > 255) {
        reportLevelError(tr("Invalid receiver signal-level reply: %1").arg(reply), errorText);
        return false;
    }
    m_levelErrorLatched = false;
    *level = value;
    m_state.signalLevel = value;
    emit stateChanged(m_state);
    return true;
}

bool Corvindriver::identify(QString *reply)
{
    QString text;
    QString error;
    const ExchangeResult result = exchange(QStringLiteral("VR"), QByteArrayLiteral("VR"), &text,
                                           &error, RetryPolicy::RetryOnce);
    assign(reply, text);
    // The exchange accepts only a reply of at least four characters.
    if (result != ExchangeResult::Ok) {
        emit errorOccurred(error);
        return false;
    }
    return true;
}

bool Corvindriver::standby()
{
    QString error;
    if (exchange(QStringLiteral("QP"), QByteArray(), nullptr, &error,
                 RetryPolicy::SilenceIsSuccess) != ExchangeResult::Ok) {
        emit errorOccurred(error);
        return false;
    }
    return true;
}

bool Corvindriver::sendExit()
{
    bool written = false;
    {
        QMutexLocker lock(&m_lineLock);
        written = m_line.write(QByteArrayLiteral("EX\r"));
    }
    if (!written)
        emit errorOccurred(tr("Failed to write receiver command EX."));
    return written;
}

bool Corvindriver::stopScopeStream(QString *errorText)
{
    {
        QMutexLocker lock(&m_lineLock);
        if (!m_line.write(QByteArrayLiteral("VF\r"))) {
            assign(errorText, m_line.lastError());
            return false;
        }
        QElapsedTimer total;
        QElapsedTimer quiet;
        total.start();
        quiet.start();
        while (quiet.elapsed() < scopeQuietMs) {
            if (total.elapsed() >= scopeDrainLimitMs) {
                assign(errorText, QStringLiteral("DS stream did not stop."));
                return false;
            }
            bool ok = false;
            if (!m_line.read(scopeReadBytes, &ok).isEmpty())
                quiet.restart();
            if (!ok) {
                assign(errorText, m_line.lastError());
                return false;
            }
        }
        // The line was drained here: the next exchange needs no resynchronisation.
        m_resyncPending = false;
    }
    QString reply;
    QString error;
    const ExchangeResult result = exchange(QStringLiteral("RX"), QByteArrayLiteral("RX"), &reply,
                                           &error, RetryPolicy::SingleTry);
    assign(errorText, error);
    if (result != ExchangeResult::Ok)
        return false;
    QString digits;
    ReplyParser::parseTunedFrequency(reply, &digits);
    m_state.frequency = digits.toULongLong();
    return true;
}
