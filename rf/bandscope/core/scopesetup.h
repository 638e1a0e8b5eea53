#pragma once

#include "amstatus.h"

#include <QByteArray>
#include <QString>

// The band-scope setup verifier: from the receiver's "AM" status it decides, one command at a
// time, what must still be corrected (span, centre, marker, peak hold) before the frame is
// requested with "DS". Each setting may be sent twice; the third mismatch of a kind fails.
// Peak hold is only ever switched on, never off. A plain state machine without Qt objects.
class ScopeSetup
{
public:
    enum State {
        Start = 0,
        AmSent = 1,
        SwSent = 2,
        CfSent = 3,
        MfSent = 4,
        PhSent = 5,
        DsSent = 6,
        Failed = 7,
    };

    // Back to Start with the requested values; counts the capture's first "AM" as a try.
    void reset(qint64 requestedCentreHz, int requestedSpanCode, bool peakHoldRequested);

    // The next command for the last valid status seen since the previous command (all -1 when
    // none) and whether a "?" arrived. An empty command means failure: state() is then Failed
    // and error() says why (fixed English texts).
    QByteArray next(const AmStatus &status, bool rejected);

    State state() const { return m_state; }
    const AmStatus &lastStatus() const { return m_lastStatus; }
    QString error() const { return m_error; }
    qint64 requestedCentreHz() const { return m_centreHz; }
    int requestedSpanCode() const { return m_spanCode; }
    bool peakHoldRequested() const { return m_peakHold; }
    int amTries() const { return m_amTries; }

    // "CF" + the centre: ten digits with leading zeros (first try), or whole MHz "." three
    // digits of kHz (second try, "CF98.000").
    static QByteArray centreCommand(qint64 centreHz, bool megahertzForm);

private:
    QByteArray fail(const char *error);

    State m_state = Start;
    AmStatus m_lastStatus;
    qint64 m_centreHz = 0;
    int m_spanCode = 0;
    bool m_peakHold = false;
    int m_amTries = 0;
    int m_swTries = 0;
    int m_cfTries = 0;
    int m_mfTries = 0;
    int m_phTries = 0;
    QString m_error;
};
