#include "rxsimulator.h"

#include "audiosynth.h"

#include <chrono>
#include <cstdlib>
#include <limits>
#include <poll.h>

namespace {

constexpr qint64 msNs = 1000000;
constexpr qint64 idlePollNs = 20 * msNs;
constexpr qint64 endOfTime = std::numeric_limits<qint64>::max();

} // namespace

RxSimulator::RxSimulator() = default;

RxSimulator::~RxSimulator()
{
    stop();
}

qint64 RxSimulator::nowNs() const
{
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count() - m_startNs;
}

bool RxSimulator::start(QString *error)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_thread.joinable())
        return true;
    if (!m_pty.open(error))
        return false;
    m_startNs = 0;
    m_startNs = nowNs(); // wire times count from here
    m_stopRequested = false;
    m_thread = std::thread([this] { run(); });
    return true;
}

void RxSimulator::stop()
{
    m_stopRequested = true;
    if (m_thread.joinable())
        m_thread.join();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pty.close();
}

QString RxSimulator::portPath() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pty.slavePath();
}

bool RxSimulator::linkPort(const QString &path, QString *error)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pty.link(path, error);
}

void RxSimulator::setPaced(bool paced)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_line.setPaced(paced);
}

void RxSimulator::hangUp()
{
    // The terminal hangs up when the last reference to its master goes; the receiver
    // thread may hold one while it polls, so the thread closes it between polls.
    if (!m_thread.joinable()) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pty.hangUp();
        return;
    }
    m_hangUpRequested = true;
    while (m_hangUpRequested)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void RxSimulator::vanish(int ms)
{
    if (!m_thread.joinable()) {
        std::lock_guard<std::mutex> lock(m_mutex);
        goAway(nowNs(), ms);
        return;
    }
    // Like hangUp: the receiver thread closes the terminal between two polls.
    m_vanishRequestMs = std::max(ms, 0);
    while (m_vanishRequestMs >= 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void RxSimulator::setVanishMs(int ms)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_vanishMs = ms;
}

bool RxSimulator::vanished() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_backNs >= 0;
}

void RxSimulator::goAway(qint64 now, int ms)
{
    m_pty.vanish();
    m_line.cut();
    m_backNs = now + ms * msNs;
}

void RxSimulator::comeBack(qint64 now)
{
    QString error;
    // Without a terminal the receiver cannot come back; try again shortly.
    if (!m_pty.reappear(&error)) {
        m_backNs = now + idlePollNs;
        return;
    }
    m_backNs = -1;
}

void RxSimulator::setBandPlan(const BandPlan &plan)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_model.setBandPlan(plan);
}

void RxSimulator::setLevelFormat(ReceiverModel::LevelFormat format)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_model.setLevelFormat(format);
}

void RxSimulator::setLevelJitter(int steps)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_model.setLevelJitter(steps);
}

void RxSimulator::setLongLineLength(int bytes)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faultSettings.longLineLength = bytes;
}

void RxSimulator::setContinuousScope(bool on)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_model.setContinuousScope(on);
}

void RxSimulator::setScopeTiming(int rowIntervalMs, int frameGapMs)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_model.setScopeRowIntervalMs(rowIntervalMs);
    m_model.setScopeFrameGapMs(frameGapMs);
}

void RxSimulator::setScopeSweepMs(int ms)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_model.scope().setSweepMs(ms);
}

void RxSimulator::setScopeNarrowRows(int rows)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_model.scope().setNarrowRows(rows);
}

void RxSimulator::setScopeVariants(const ScopeVariants &variants)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_model.scope().setVariants(variants);
}

void RxSimulator::setScopeChatterMs(int ms)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_model.scope().setChatterMs(ms);
}

void RxSimulator::setStandbyWakeMs(int ms)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_standbyWakeMs = ms;
}

void RxSimulator::wake()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_model.wake();
    m_standbySinceNs = -1;
}

AudioScene RxSimulator::audioScene() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    AudioScene scene;
    scene.standby = m_model.standby();
    scene.effectiveMode = m_model.effectiveMode();
    scene.tunings = m_model.tunings();
    double strength = 0.0;
    if (const SimStation *station = m_model.bandPlan().stationAt(m_model.frequency(), &strength)) {
        scene.hasStation = true;
        scene.station = *station;
        scene.strength = strength;
        scene.offsetHz =
            static_cast<qint64>(m_model.frequency()) - static_cast<qint64>(station->frequency);
    }
    if (AudioSynth::isSidebandMode(scene.effectiveMode)) {
        const auto tuned = static_cast<qint64>(m_model.frequency());
        for (const SimStation &candidate : m_model.bandPlan().stations()) {
            const qint64 offset = static_cast<qint64>(candidate.frequency) - tuned;
            if (std::abs(offset) <= AudioSynth::sidebandReachHz + candidate.width / 2)
                scene.sideband.append({candidate, offset});
        }
    }
    return scene;
}

quint64 RxSimulator::frequency() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_model.frequency();
}

bool RxSimulator::standby() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_model.standby();
}

void RxSimulator::setFaultRate(SimFault fault, double probability)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.setRate(fault, probability);
}

void RxSimulator::triggerFault(SimFault fault, int count, const QByteArray &commandPrefix)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.trigger(fault, count, commandPrefix);
}

void RxSimulator::addFaultZone(const FaultZone &zone)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.addZone(zone);
}

void RxSimulator::clearFaults()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.clear();
    m_model.scope().clearFaults();
}

void RxSimulator::setScopeFaultRate(ScopeFault fault, double probability)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_model.scope().faults().setRate(fault, probability);
}

void RxSimulator::triggerScopeFault(ScopeFault fault, int count)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_model.scope().faults().trigger(fault, count);
}

qint64 RxSimulator::scopeFaultCount(ScopeFault fault) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_model.scope().faults().count(fault);
}

void RxSimulator::setFaultSeed(quint32 seed)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.seed(seed);
}

void RxSimulator::setLateReplyMs(int ms)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faultSettings.lateReplyMs = ms;
}

void RxSimulator::setDeadLineMs(int ms)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_deadLineMs = ms;
}

void RxSimulator::revive()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_deadUntilNs = -1;
}

qint64 RxSimulator::faultCount(SimFault fault) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_faults.count(fault);
}

qint64 RxSimulator::totalFaults() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_faults.totalCount();
}

QByteArray RxSimulator::receivedBytes() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_wire.received();
}

QByteArray RxSimulator::sentBytes() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_wire.sent();
}

QVector<WireEvent> RxSimulator::wireEvents() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_wire.events();
}

QList<QByteArray> RxSimulator::commands() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_wire.commands();
}

qint64 RxSimulator::commandCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_wire.commandCount();
}

void RxSimulator::clearWireLog()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_wire.clear();
}

void RxSimulator::setWireLogKept(bool kept)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_wire.setKept(kept);
}

void RxSimulator::setWireObserver(std::function<void(const WireEvent &)> observer)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_wire.setObserver(std::move(observer));
}

void RxSimulator::run()
{
    for (;;) {
        qint64 wait = 0;
        int fd = -1;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_stopRequested)
                return;
            if (m_hangUpRequested) {
                m_pty.hangUp();
                m_hangUpRequested = false;
            }
            const qint64 now = nowNs();
            if (m_vanishRequestMs >= 0) {
                goAway(now, m_vanishRequestMs);
                m_vanishRequestMs = -1;
            }
            if (m_backNs >= 0 && now >= m_backNs)
                comeBack(now);
            serviceLine(now);
            wait = std::max<qint64>(0, std::min(nextWakeNs(now), now + idlePollNs) - now);
            fd = m_pty.masterFd();
        }
        pollfd pfd{fd, POLLIN, 0};
        const timespec timeout{static_cast<time_t>(wait / 1000000000),
                               static_cast<long>(wait % 1000000000)};
        const int ready = ppoll(&pfd, fd >= 0 ? 1 : 0, &timeout, nullptr);
        if (ready > 0 && (pfd.revents & POLLIN)) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_line.readHost(m_pty.masterFd(), nowNs(), m_wire);
        }
    }
}

void RxSimulator::serviceLine(qint64 now)
{
    for (const SimLine::Command &command : m_line.takeCommands(now)) {
        // Commands behind the one that made the terminal vanish never reached the receiver.
        if (m_backNs >= 0)
            break;
        execute(command.text, command.atNs);
    }
    if (m_standbySinceNs >= 0 && m_standbyWakeMs > 0 &&
        now - m_standbySinceNs >= m_standbyWakeMs * msNs) {
        m_model.wake();
        m_standbySinceNs = -1;
    }
    m_line.releaseDue(now);
    if (m_model.scopeStreaming() && m_line.readyForScope())
        m_line.schedule(m_model.continueScopeStream(), now, 0, QByteArray());
    // While the terminal is away nobody hears what the receiver sends.
    if (m_backNs >= 0)
        m_line.dropOutput();
    else
        m_line.transmit(m_pty.masterFd(), now, m_wire);
    // Unpaced, the last line of a stream has just gone out: schedule what follows now, or the
    // stream would wait for the next command or idle poll.
    if (m_model.scopeStreaming() && m_line.readyForScope())
        m_line.schedule(m_model.continueScopeStream(), now, 0, QByteArray());
}

void RxSimulator::goDead(qint64 now)
{
    m_deadUntilNs = m_deadLineMs > 0 ? now + m_deadLineMs * msNs : endOfTime;
    m_line.dropOutput();
}

void RxSimulator::execute(const QByteArray &command, qint64 now)
{
    m_wire.recordCommand(command);
    if (m_deadUntilNs >= 0) {
        if (now < m_deadUntilNs)
            return;
        m_deadUntilNs = -1;
    }
    if (command.isEmpty() || m_model.standby())
        return;
    m_faults.beginCommand(command, m_model.frequency());
    if (m_faults.hits(SimFault::DeadLine, command)) {
        goDead(now);
        return;
    }
    if (m_faults.hits(SimFault::Vanish, command)) {
        goAway(now, m_vanishMs);
        return;
    }
    if (m_faults.hits(SimFault::Reject, command)) {
        m_line.schedule({SimReply{QByteArrayLiteral("?\r"), 0, false}}, now, 0, QByteArray());
        return;
    }
    ContentFaults content;
    content.wrongFrequency = m_faults.hits(SimFault::WrongFrequency, command);
    content.malformedAuto = m_faults.hits(SimFault::MalformedAuto, command);
    content.malformedLevel = m_faults.hits(SimFault::MalformedLevel, command);
    content.badIdentity = m_faults.hits(SimFault::BadIdentity, command);
    content.stuckScope = m_faults.hits(SimFault::StuckScope, command);
    QVector<SimReply> replies = m_model.handle(command, content);
    if (m_model.takeScopeCancel())
        m_line.cancelScope();
    if (m_model.standby())
        m_standbySinceNs = now;
    if (replies.isEmpty() || m_faults.hits(SimFault::NoReply, command))
        return;
    const TransportFaults transport =
        applyTransportFaults(m_faults, command, replies, m_faultSettings, m_random);
    m_line.schedule(replies, now, transport.extraDelayMs, transport.before);
}

qint64 RxSimulator::nextWakeNs(qint64 now) const
{
    qint64 next = m_line.nextEventNs(now);
    if (m_standbySinceNs >= 0 && m_standbyWakeMs > 0)
        next = std::min(next, m_standbySinceNs + m_standbyWakeMs * msNs);
    if (m_backNs >= 0)
        next = std::min(next, m_backNs);
    return next;
}
