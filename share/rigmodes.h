#pragma once

#include <QByteArray>
#include <QtGlobal>

// The receiver's ten modes as the rigctld protocol names them. Where the protocol has the
// mode the mapping is exact; the receiver's narrow and wide variants of FM and AM become the
// protocol's FM and AM with their own passband, which maps them back; AUTO has no
// equivalent and is reported as the mode the receiver chose.
//
//   receiver  protocol  passband (Hz)
//   WFM       WFM       230000
//   NFM       FM        15000 (the FM default)
//   AM        AM        6000 (the AM default)
//   USB       USB       2400
//   LSB       LSB       2400
//   CW        CW        500
//   SFM       FM        6000
//   WAM       AM        15000
//   NAM       AM        3000
//   AUTO      the effective mode's name and passband
//
// Pure functions; safe from any thread.
namespace RigModes {

struct ProtocolMode
{
    QByteArray name;
    int passband = 0; // Hz
};

// The protocol's mode for a receiver mode code 0-8; false for AUTO and unknown codes.
bool toProtocol(int code, ProtocolMode *mode);

// The passband value "keep the current one" and "the mode's default".
constexpr qint64 passbandNoChange = -1;
constexpr qint64 passbandNormal = 0;

// The receiver mode code (0-8) for a protocol mode and passband, or -1 when the name is
// unknown. A passband picks the nearest of the variants the name covers; the normal
// passband picks the plain mode; "no change" keeps `current` when it is a variant of the
// name. Names the protocol has but the receiver lacks map to the nearest mode (PKTUSB to
// USB, CWR to CW, FMN to SFM, ...).
int fromProtocol(const QByteArray &name, qint64 passband, int current);

// The protocol modes the receiver offers, as listed by "M ?": "AM CW USB LSB FM WFM ".
QByteArray modeList();
// The same modes as the protocol's mode bit mask (0x6f).
quint64 modeMask();

} // namespace RigModes
