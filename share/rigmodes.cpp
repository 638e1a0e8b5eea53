#include "rigmodes.h"

#include "receivermode.h"

#include <array>
#include <cstdlib>

namespace {

struct Row
{
    ReceiverMode mode;
    const char *name;
    int passband;
};

// Receiver mode codes 0-8 in code order.
constexpr std::array<Row, 9> modeTable{{
    {ReceiverMode::Wfm, "WFM", 230000},
    {ReceiverMode::Nfm, "FM", 15000},
    {ReceiverMode::Am, "AM", 6000},
    {ReceiverMode::Usb, "USB", 2400},
    {ReceiverMode::Lsb, "LSB", 2400},
    {ReceiverMode::Cw, "CW", 500},
    {ReceiverMode::Sfm, "FM", 6000},
    {ReceiverMode::Wam, "AM", 15000},
    {ReceiverMode::Nam, "AM", 3000},
}};

// Protocol modes the receiver lacks, and the protocol mode standing in for each.
struct Alias
{
    const char *name;
    const char *nearest;
};

constexpr std::array<Alias, 14> aliases{{
    {"PKTUSB", "USB"},
    {"ECSSUSB", "USB"},
    {"RTTYR", "USB"},
    {"PKTLSB", "LSB"},
    {"ECSSLSB", "LSB"},
    {"RTTY", "LSB"},
    {"CWR", "CW"},
    {"PKTFM", "FM"},
    {"C4FM", "FM"},
    {"AMS", "AM"},
    {"SAM", "AM"},
    {"SAL", "AM"},
    {"SAH", "AM"},
    {"DSB", "AM"},
}};

int code(ReceiverMode mode)
{
    return static_cast<int>(mode);
}

} // namespace

namespace RigModes {

bool toProtocol(int code, ProtocolMode *mode)
{
    if (code < 0 || code >= static_cast<int>(modeTable.size()))
        return false;
    const Row &row = modeTable[static_cast<size_t>(code)];
    mode->name = row.name;
    mode->passband = row.passband;
    return true;
}

int fromProtocol(const QByteArray &name, qint64 passband, int current)
{
    // The narrow variants have protocol names of their own as well.
    if (name == "FMN")
        return code(ReceiverMode::Sfm);
    if (name == "AMN")
        return code(ReceiverMode::Nam);
    QByteArray wanted = name;
    for (const Alias &alias : aliases) {
        if (name == alias.name)
            wanted = alias.nearest;
    }

    int plain = -1;
    int nearest = -1;
    qint64 nearestDistance = 0;
    bool currentMatches = false;
    for (size_t i = 0; i < modeTable.size(); ++i) {
        const Row &row = modeTable[i];
        if (wanted != row.name)
            continue;
        const int rowCode = static_cast<int>(i);
        // The first row of a name is its plain mode (NFM for FM, AM for AM).
        if (plain < 0)
            plain = rowCode;
        currentMatches = currentMatches || rowCode == current;
        const qint64 distance = std::llabs(passband - row.passband);
        if (nearest < 0 || distance < nearestDistance) {
            nearest = rowCode;
            nearestDistance = distance;
        }
    }
    if (plain < 0)
        return -1;
    if (passband == passbandNoChange)
        return currentMatches ? current : plain;
    if (passband <= passbandNormal)
        return plain;
    return nearest;
}

QByteArray modeList()
{
    return QByteArrayLiteral("AM CW USB LSB FM WFM ");
}

quint64 modeMask()
{
    // The protocol's bits: AM 0x1, CW 0x2, USB 0x4, LSB 0x8, FM 0x20, WFM 0x40.
    return 0x6f;
}

} // namespace RigModes
