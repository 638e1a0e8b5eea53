#include "scopesetup.h"

namespace {

constexpr int maxTries = 2; // a setting is sent at most twice; the third mismatch fails
constexpr int maxAmTries = 3;

QByteArray tenDigits(qint64 hz)
{
    return QByteArray::number(hz).rightJustified(10, '0');
}

} // namespace

void ScopeSetup::reset(qint64 requestedCentreHz, int requestedSpanCode, bool peakHoldRequested)
{
    *this = ScopeSetup();
    m_centreHz = requestedCentreHz;
    m_spanCode = requestedSpanCode;
    m_peakHold = peakHoldRequested;
    m_amTries = 1;
}

QByteArray ScopeSetup::centreCommand(qint64 centreHz, bool megahertzForm)
{
    if (!megahertzForm)
        return "CF" + tenDigits(centreHz);
    return "CF" + QByteArray::number(centreHz / 1000000) + '.' +
           QByteArray::number((centreHz % 1000000) / 1000).rightJustified(3, '0');
}

QByteArray ScopeSetup::fail(const char *error)
{
    m_state = Failed;
    m_error = QString::fromLatin1(error);
    return QByteArray();
}

QByteArray ScopeSetup::next(const AmStatus &status, bool rejected)
{
    if (m_state == DsSent || m_state == Failed)
        return fail("Unexpected setup transition");
    if (m_state != Start && m_state != AmSent) {
        // A setting was just sent: read the status back.
        m_state = AmSent;
        return "AM";
    }
    if (!status.isValid()) {
        if (m_state == Start && m_amTries < maxAmTries) {
            ++m_amTries;
            return "AM";
        }
        return fail(rejected ? "AM status rejected" : "No complete AM status; DS not sent");
    }
    m_lastStatus = status;
    if (status.spanCode != m_spanCode) {
        if (++m_swTries > maxTries)
            return fail("Span not confirmed; DS not sent");
        m_state = SwSent;
        return "SW" + QByteArray::number(m_spanCode);
    }
    if (status.centreHz != m_centreHz) {
        if (++m_cfTries > maxTries)
            return fail("Center not confirmed; DS not sent");
        m_state = CfSent;
        return centreCommand(m_centreHz, m_cfTries == 2);
    }
    if (status.markerHz != m_centreHz) {
        if (++m_mfTries > maxTries)
            return fail("Marker not centered; DS not sent");
        m_state = MfSent;
        return "MF" + tenDigits(m_centreHz);
    }
    if (m_peakHold && status.peakHold != 1) {
        if (++m_phTries > maxTries)
            return fail("Requested Peak Hold not confirmed; DS not sent");
        m_state = PhSent;
        return "PH1";
    }
    m_state = DsSent;
    return "DS";
}
