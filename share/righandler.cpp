#include "righandler.h"

#include "receivermode.h"
#include "rigmodes.h"
#include "rigreply.h"

#include <QtMath>

#include <cmath>

namespace {

constexpr int autoMode = static_cast<int>(ReceiverMode::Auto);
constexpr qint64 lowestFrequency = 100000;
constexpr qint64 highestFrequency = 3000000000LL;
const QByteArray onlyVfo = QByteArrayLiteral("VFOA");

// Names of the one VFO a client may select.
bool isOwnVfo(const QByteArray &name)
{
    return name == onlyVfo || name == "currVFO" || name == "Main" || name == "MainA";
}

bool parseNumber(const QByteArray &text, double *value)
{
    bool ok = false;
    *value = text.toDouble(&ok);
    return ok && std::isfinite(*value);
}

} // namespace

RigHandler::RigHandler(RigBackend &backend)
    : m_backend(backend)
{}

int RigHandler::codeOf(RigBackend::Result result)
{
    switch (result) {
    case RigBackend::Result::Ok:
        return RigReply::Ok;
    case RigBackend::Result::Busy:
        return RigReply::Rejected;
    case RigBackend::Result::Offline:
        return RigReply::PoweredOff;
    case RigBackend::Result::Failed:
        break;
    }
    return RigReply::TimedOut;
}

// The code that refuses a set command, or Ok when the receiver may take it.
int RigHandler::refusal(const RigBackend::Status &status) const
{
    if (!status.online)
        return RigReply::PoweredOff;
    if (status.busy)
        return RigReply::Rejected;
    return RigReply::Ok;
}

QByteArray RigHandler::execute(const RigCommand &command, bool *quit)
{
    using Kind = RigCommand::Kind;
    using RigReply::Value;
    const RigBackend::Status status = m_backend.status();
    switch (command.kind) {
    case Kind::Empty:
        return QByteArray();
    case Kind::Unknown:
        return RigReply::status(command, RigReply::NotImplemented);
    case Kind::Quit:
        *quit = true;
        return RigReply::status(command, RigReply::Ok);
    case Kind::GetFreq:
        return RigReply::values(command, {{"Frequency", QByteArray::number(status.frequency)}});
    case Kind::SetFreq:
        return setFrequency(command);
    case Kind::GetMode:
        return getMode(command);
    case Kind::SetMode:
        return setMode(command);
    case Kind::GetVfo:
        return RigReply::values(command, {{"VFO", onlyVfo}});
    case Kind::SetVfo:
        return setVfo(command);
    case Kind::GetLevel:
        return getLevel(command);
    case Kind::GetPtt:
        // A receiver has no PTT to read.
        return RigReply::status(command, RigReply::NotAvailable);
    case Kind::SetPtt:
        return RigReply::status(command, RigReply::InvalidParameter);
    case Kind::GetSplitVfo:
        return RigReply::values(command, {{"Split", "0"}, {"TX VFO", onlyVfo}});
    case Kind::SetSplitVfo:
        return setSplitVfo(command);
    case Kind::DumpState:
        return RigReply::dumpState(command, dumpStateBody());
    case Kind::CheckVfo:
        // VFO arguments are off: clients then leave them out of every command.
        return command.isExtended() ? QByteArrayLiteral("ChkVFO: 0\n") : QByteArrayLiteral("0\n");
    case Kind::GetPowerStat:
        return RigReply::values(command, {{"Power Status", status.online ? QByteArray("1") : "0"}});
    case Kind::GetLockMode:
        // The daemon ends even the plain answer with its status line; clients read both.
        if (!command.isExtended())
            return QByteArrayLiteral("0\n") + RigReply::status(command, RigReply::Ok);
        return RigReply::values(command, {{"Locked", "0"}});
    }
    return RigReply::status(command, RigReply::NotImplemented);
}

QByteArray RigHandler::getMode(const RigCommand &command) const
{
    const RigBackend::Status status = m_backend.status();
    // Under AUTO the receiver's own choice is what a client can use.
    const int code = status.mode == autoMode ? status.effectiveMode : status.mode;
    RigModes::ProtocolMode mode;
    if (!RigModes::toProtocol(code, &mode))
        return RigReply::status(command, RigReply::NotAvailable);
    return RigReply::values(command,
                            {{"Mode", mode.name}, {"Passband", QByteArray::number(mode.passband)}});
}

QByteArray RigHandler::setFrequency(const RigCommand &command)
{
    double hertz = 0;
    if (command.arguments.isEmpty() || !parseNumber(command.arguments.first(), &hertz))
        return RigReply::status(command, RigReply::InvalidParameter);
    // Clients send hertz with six decimals ("7050000.000000").
    const double rounded = std::round(hertz);
    if (rounded < static_cast<double>(lowestFrequency) ||
        rounded > static_cast<double>(highestFrequency))
        return RigReply::status(command, RigReply::InvalidParameter);
    const int refused = refusal(m_backend.status());
    if (refused != RigReply::Ok)
        return RigReply::status(command, refused);
    return RigReply::status(command, codeOf(m_backend.tune(static_cast<qint64>(rounded))));
}

QByteArray RigHandler::setMode(const RigCommand &command)
{
    if (command.arguments.isEmpty())
        return RigReply::status(command, RigReply::InvalidParameter);
    if (command.arguments.first() == "?")
        return RigReply::listing(command, RigModes::modeList());
    double passband = RigModes::passbandNoChange;
    if (command.arguments.size() > 1 && !parseNumber(command.arguments[1], &passband))
        return RigReply::status(command, RigReply::InvalidParameter);
    const RigBackend::Status status = m_backend.status();
    const int current = status.mode == autoMode ? status.effectiveMode : status.mode;
    // Passbands are hertz; anything beyond a few megahertz is as wide as it gets.
    const qint64 hertz = std::llround(qBound(-1e9, passband, 1e9));
    const int code = RigModes::fromProtocol(command.arguments.first(), hertz, current);
    if (code < 0)
        return RigReply::status(command, RigReply::InvalidParameter);
    const int refused = refusal(status);
    if (refused != RigReply::Ok)
        return RigReply::status(command, refused);
    // Clients often set the mode they just read: that keeps AUTO and costs no exchange.
    if (code == current)
        return RigReply::status(command, RigReply::Ok);
    return RigReply::status(command, codeOf(m_backend.setMode(code)));
}

QByteArray RigHandler::setVfo(const RigCommand &command) const
{
    if (command.arguments.isEmpty())
        return RigReply::status(command, RigReply::InvalidParameter);
    const QByteArray &vfo = command.arguments.first();
    if (vfo == "?")
        return RigReply::listing(command, onlyVfo + ' ');
    return RigReply::status(command, isOwnVfo(vfo) ? RigReply::Ok : RigReply::NotAvailable);
}

QByteArray RigHandler::getLevel(const RigCommand &command)
{
    if (command.arguments.isEmpty())
        return RigReply::status(command, RigReply::InvalidParameter);
    const QByteArray &name = command.arguments.first();
    if (name == "?")
        return RigReply::listing(command, QByteArrayLiteral("RAWSTR STRENGTH "));
    const bool strength = name == "STRENGTH";
    if (!strength && name != "RAWSTR")
        return RigReply::status(command, RigReply::InvalidParameter);

    RigBackend::Status status = m_backend.status();
    int level = status.signalLevel;
    const bool fresh = m_levelAge.isValid() && m_levelAge.elapsed() < levelFreshMs &&
                       m_levelFrequency == status.frequency && m_levelMode == status.mode;
    // Busy or offline: the last reading is all there is.
    if (!fresh && refusal(status) == RigReply::Ok) {
        const RigBackend::Result result = m_backend.readSignalLevel(&level);
        if (result != RigBackend::Result::Ok)
            return RigReply::status(command, codeOf(result));
        status = m_backend.status();
        m_levelAge.start();
        m_levelFrequency = status.frequency;
        m_levelMode = status.mode;
    }
    const int value = strength ? strengthDb(level) : qBound(0, level, 255);
    return RigReply::values(command, {{QByteArray(), QByteArray::number(value)}});
}

QByteArray RigHandler::setSplitVfo(const RigCommand &command) const
{
    if (command.arguments.isEmpty())
        return RigReply::status(command, RigReply::InvalidParameter);
    const QByteArray &split = command.arguments.first();
    if (split == "0")
        return RigReply::status(command, RigReply::Ok);
    if (split == "1")
        return RigReply::status(command, RigReply::NotAvailable);
    return RigReply::status(command, RigReply::InvalidParameter);
}

int RigHandler::strengthDb(int level)
{
    // The receiver panel's needle: 1 + level x 14 / 255 on a scale from S1 (1) to +60 (15).
    const double needle = qBound(1.0, 1.0 + qBound(0, level, 255) * 14.0 / 255.0, 15.0);
    const double s9 = 9.0;
    const double db = needle <= s9 ? (needle - s9) * 6.0 : (needle - s9) * 10.0;
    return static_cast<int>(std::lround(db));
}

QByteArray RigHandler::dumpStateBody()
{
    const QByteArray modes = "0x" + QByteArray::number(RigModes::modeMask(), 16);
    QByteArray text;
    text += "1\n"; // protocol version
    text += "2\n"; // rig model: the network rig
    text += "0\n"; // ITU region
    // Receive range: start, end, modes, no power, VFO A, antenna 1; no transmit range.
    text += QByteArray::number(static_cast<double>(lowestFrequency), 'f', 6) + ' ' +
            QByteArray::number(static_cast<double>(highestFrequency), 'f', 6) + ' ' + modes +
            " -1 -1 0x1 0x1\n";
    text += "0 0 0 0 0 0 0\n";
    text += "0 0 0 0 0 0 0\n";
    // Tuning steps: the receiver tunes in 100 Hz steps.
    text += modes + " 100\n0 0\n";
    // Filters per mode: the normal passband first, then the narrow and the wide one.
    text += "0x20 15000\n0x20 6000\n";
    text += "0x1 6000\n0x1 3000\n0x1 15000\n";
    text += "0xc 2400\n0x2 500\n0x40 230000\n0 0\n";
    text += "0\n0\n0\n0\n"; // max RIT, XIT, IF shift; announcements
    text += "\n\n";         // no preamplifier, no attenuator
    text += "0x0\n0x0\n";   // functions
    text += "0x44000000\n"; // levels read: RAWSTR, STRENGTH
    text += "0x0\n0x0\n0x0\n";
    text += "vfo_ops=0x0\nptt_type=0x0\ntargetable_vfo=0x0\n";
    text += "has_set_vfo=1\nhas_get_vfo=1\nhas_set_freq=1\nhas_get_freq=1\n";
    text += "has_set_conf=0\nhas_get_conf=0\nhas_power2mW=0\nhas_mW2power=0\n";
    text += "timeout=0\nrig_model=2\n";
    text += "rigctld_version=Corvin " CORVIN_VERSION "\n";
    text += "done\n";
    return text;
}
