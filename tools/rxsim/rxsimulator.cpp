#include "rxsimulator.h"

#include <cerrno>
#include <chrono>
#include <limits>
#include <poll.h>
#include <random>
#include <unistd.h>

namespace {

constexpr qint64 msNs = 1000000;
constexpr qint64 idlePollNs = 20 * msNs;
constexpr qint64 endOfTime = std::numeric_limits<qint64>::max();
constexpr char xon = 0x11;
constexpr char xoff = 0x13;

QByteArray garbageLine(std::mt19937 &random)
{
    std::uniform_int_distribution<int> length(8, 40);
    std::uniform_int_distribution<int> byte(1, 255);
    QByteArray junk;
    for (int i = length(random); i > 0; --i) {
        char c = static_cast<char>(byte(random));
        if (c == '\r' || c == '\n' || c == xon || c == xoff || c == '?')
            c = '#';
        junk.append(c);
    }
    return junk + '\r';
}

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
    m_paced = paced;
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
    m_longLineLength = bytes;
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
    double strength = 0.0;
    if (const SimStation *station = m_model.bandPlan().stationAt(m_model.frequency(), &strength)) {
        scene.hasStation = true;
        scene.station = *station;
        scene.strength = strength;
        scene.offsetHz =
            static_cast<qint64>(m_model.frequency()) - static_cast<qint64>(station->frequency);
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

void RxSimulator::clearFaults()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.clear();
}

void RxSimulator::setFaultSeed(quint32 seed)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.seed(seed);
}

void RxSimulator::setLateReplyMs(int ms)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_lateReplyMs = ms;
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
    return m_received;
}

QByteArray RxSimulator::sentBytes() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_sent;
}

QVector<WireEvent> RxSimulator::wireEvents() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_wire;
}

QList<QByteArray> RxSimulator::commands() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_commands;
}

qint64 RxSimulator::commandCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_commandCount;
}

void RxSimulator::clearWireLog()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_wire.clear();
    m_received.clear();
    m_sent.clear();
    m_commands.clear();
}

void RxSimulator::setWireLogKept(bool kept)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_keepWire = kept;
}

void RxSimulator::setWireObserver(std::function<void(const WireEvent &)> observer)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_observer = std::move(observer);
}

void RxSimulator::record(bool fromHost, const QByteArray &bytes, qint64 now)
{
    const WireEvent event{now / 1000, fromHost, bytes};
    if (m_keepWire) {
        m_wire.append(event);
        (fromHost ? m_received : m_sent).append(bytes);
    }
    if (m_observer)
        m_observer(event);
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
            processArrivals(now);
            if (m_standbySinceNs >= 0 && m_standbyWakeMs > 0 &&
                now - m_standbySinceNs >= m_standbyWakeMs * msNs) {
                m_model.wake();
                m_standbySinceNs = -1;
            }
            releaseScheduled(now);
            continueScope(now);
            transmit(now);
            wait = std::max<qint64>(0, std::min(nextWakeNs(now), now + idlePollNs) - now);
            fd = m_pty.masterFd();
        }
        pollfd pfd{fd, POLLIN, 0};
        const timespec timeout{static_cast<time_t>(wait / 1000000000),
                               static_cast<long>(wait % 1000000000)};
        const int ready = ppoll(&pfd, fd >= 0 ? 1 : 0, &timeout, nullptr);
        if (ready > 0 && (pfd.revents & POLLIN)) {
            std::lock_guard<std::mutex> lock(m_mutex);
            readHost(nowNs());
        }
    }
}

void RxSimulator::readHost(qint64 now)
{
    const int fd = m_pty.masterFd();
    if (fd < 0)
        return;
    char buffer[4096];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n <= 0)
        return;
    const QByteArray bytes(buffer, static_cast<int>(n));
    record(true, bytes, now);
    // On a paced line each byte is complete on the receiver's side one byte time after
    // the previous one.
    for (const char byte : bytes) {
        m_lastArrivalNs = m_paced ? std::max(now, m_lastArrivalNs) + byteTimeNs : now;
        m_arrivals.emplace_back(m_lastArrivalNs, byte);
    }
}

void RxSimulator::processArrivals(qint64 now)
{
    while (!m_arrivals.empty() && m_arrivals.front().first <= now) {
        const char byte = m_arrivals.front().second;
        const qint64 at = m_arrivals.front().first;
        m_arrivals.pop_front();
        if (byte == xoff || byte == xon) {
            m_hostStopped = byte == xoff;
            if (!m_hostStopped)
                m_txFreeNs = std::max(m_txFreeNs, now);
            continue;
        }
        if (byte == '\n')
            continue;
        if (byte != '\r') {
            if (m_line.size() < 1024)
                m_line.append(byte);
            continue;
        }
        const QByteArray command = m_line.trimmed();
        m_line.clear();
        execute(command, at);
    }
}

void RxSimulator::goDead(qint64 now)
{
    m_deadUntilNs = m_deadLineMs > 0 ? now + m_deadLineMs * msNs : endOfTime;
    m_scheduled.clear();
    m_txQueue.clear();
}

void RxSimulator::execute(const QByteArray &command, qint64 now)
{
    if (m_keepWire)
        m_commands.append(command);
    ++m_commandCount;
    if (m_deadUntilNs >= 0) {
        if (now < m_deadUntilNs)
            return;
        m_deadUntilNs = -1;
    }
    if (command.isEmpty() || m_model.standby())
        return;
    if (m_faults.hits(SimFault::DeadLine, command)) {
        goDead(now);
        return;
    }
    if (m_faults.hits(SimFault::Reject, command)) {
        schedule({SimReply{QByteArrayLiteral("?\r"), 0, false}}, now, 0, QByteArray());
        return;
    }
    ContentFaults content;
    content.wrongFrequency = m_faults.hits(SimFault::WrongFrequency, command);
    content.malformedAuto = m_faults.hits(SimFault::MalformedAuto, command);
    content.malformedLevel = m_faults.hits(SimFault::MalformedLevel, command);
    content.badIdentity = m_faults.hits(SimFault::BadIdentity, command);
    content.stuckScope = m_faults.hits(SimFault::StuckScope, command);
    QVector<SimReply> replies = m_model.handle(command, content);
    if (m_model.takeScopeCancel()) {
        m_scheduled.erase(std::remove_if(m_scheduled.begin(), m_scheduled.end(),
                                         [](const Scheduled &s) { return s.scope; }),
                          m_scheduled.end());
    }
    if (m_model.standby())
        m_standbySinceNs = now;
    if (replies.isEmpty() || m_faults.hits(SimFault::NoReply, command))
        return;

    QByteArray before;
    if (m_faults.hits(SimFault::RejectThenReply, command))
        before += "?\r";
    if (m_faults.hits(SimFault::EchoAndStray, command))
        before += command + "\r*STATUS 00\r";
    if (m_faults.hits(SimFault::LongLine, command)) {
        // Starts like the real answer: a receiver of a cut-off line would accept it.
        QByteArray text = replies.first().bytes;
        text.chop(1);
        before += text.leftJustified(m_longLineLength, 'X') + '\r';
    }
    if (m_faults.hits(SimFault::Garbage, command))
        before += garbageLine(m_random);
    if (m_faults.hits(SimFault::FlowControl, command)) {
        QByteArray &first = replies.first().bytes;
        first.insert(qMin(2, first.size() - 1), QByteArray("\x13\x11", 2));
        before.replace('\r', QByteArray("\x13\x11\r", 3));
    }
    if (m_faults.hits(SimFault::HeldXoff, command))
        replies.last().bytes.append(xoff);
    const int delay = m_faults.hits(SimFault::LateReply, command) ? m_lateReplyMs : 0;
    schedule(replies, now, delay, before);
}

void RxSimulator::schedule(const QVector<SimReply> &replies, qint64 now, int extraDelayMs,
                           const QByteArray &before)
{
    bool first = true;
    for (const SimReply &reply : replies) {
        Scheduled item{now + (reply.delayMs + extraDelayMs) * msNs, reply.bytes, reply.scope};
        if (first)
            item.bytes.prepend(before);
        first = false;
        const auto at =
            std::upper_bound(m_scheduled.begin(), m_scheduled.end(), item.dueNs,
                             [](qint64 due, const Scheduled &s) { return due < s.dueNs; });
        m_scheduled.insert(at, item);
    }
}

void RxSimulator::releaseScheduled(qint64 now)
{
    while (!m_scheduled.empty() && m_scheduled.front().dueNs <= now) {
        if (m_txQueue.isEmpty())
            m_txFreeNs = std::max(m_txFreeNs, m_scheduled.front().dueNs);
        m_txQueue.append(m_scheduled.front().bytes);
        m_scheduled.erase(m_scheduled.begin());
    }
}

void RxSimulator::continueScope(qint64 now)
{
    if (!m_model.scopeStreaming() || !m_txQueue.isEmpty())
        return;
    for (const Scheduled &item : m_scheduled) {
        if (item.scope)
            return;
    }
    schedule(m_model.continueScopeStream(), now, 0, QByteArray());
}

void RxSimulator::transmit(qint64 now)
{
    const int fd = m_pty.masterFd();
    if (m_txQueue.isEmpty() || m_hostStopped || fd < 0 || now < m_txRetryNs)
        return;
    qint64 count = m_txQueue.size();
    if (m_paced) {
        // A byte is written once its last stop bit would have left the receiver.
        count = std::min<qint64>(count, (now - m_txFreeNs) / byteTimeNs);
        if (count <= 0)
            return;
    }
    const ssize_t n = ::write(fd, m_txQueue.constData(), static_cast<size_t>(count));
    if (n <= 0) {
        // The terminal's buffer is full (nobody reads the port): try again a little later.
        m_txRetryNs = now + 5 * msNs;
        return;
    }
    record(false, m_txQueue.left(static_cast<int>(n)), now);
    m_txQueue.remove(0, static_cast<int>(n));
    m_txFreeNs = m_paced ? m_txFreeNs + n * byteTimeNs : now;
}

qint64 RxSimulator::nextWakeNs(qint64 now) const
{
    qint64 next = endOfTime;
    if (!m_arrivals.empty())
        next = std::min(next, m_arrivals.front().first);
    if (!m_scheduled.empty())
        next = std::min(next, m_scheduled.front().dueNs);
    if (!m_txQueue.isEmpty() && !m_hostStopped)
        next = std::min(next, std::max(m_txRetryNs, m_paced ? m_txFreeNs + byteTimeNs : now));
    if (m_standbySinceNs >= 0 && m_standbyWakeMs > 0)
        next = std::min(next, m_standbySinceNs + m_standbyWakeMs * msNs);
    return next;
}
