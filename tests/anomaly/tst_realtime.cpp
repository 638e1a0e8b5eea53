// Once armed, the per-second work of the audio thread allocates nothing: the feature bank, the
// decision engine with the trigger policy, and the armed session taking blocks (no capture
// running, no listener connected). Every allocation of the test program is counted while a
// measured section runs.

#include "anomalysession.h"
#include "anomalysignals.h"
#include "decisionengine.h"
#include "livefeaturebank.h"
#include "triggerpolicy.h"

#include <QtTest>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

// Counts the allocations made while f runs.
template <typename F> long allocationsDuring(F f)
{
    allocations = 0;
    counting = true;
    f();
    counting = false;
    return allocations;
}

} // namespace

void *operator new(std::size_t size)
{
    if (counting)
        ++allocations;
    if (void *p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void *p) noexcept
{
    std::free(p);
}

void operator delete(void *p, std::size_t) noexcept
{
    std::free(p);
}

using namespace AnomalySignals;

class TestRealtime : public QObject
{
    Q_OBJECT

private slots:
    void featureBankAndPolicy_data();
    void featureBankAndPolicy();
    void armedSession();
};

void TestRealtime::featureBankAndPolicy_data()
{
    QTest::addColumn<int>("rate");
    QTest::newRow("48 kHz") << 48000;
    QTest::newRow("44.1 kHz") << 44100;
    QTest::newRow("192 kHz") << 192000;
}

void TestRealtime::featureBankAndPolicy()
{
    QFETCH(int, rate);
    // The counter counts (a pointer the compiler may not drop).
    QCOMPARE(allocationsDuring([] {
                 int *volatile p = new int(1);
                 delete p;
             }),
             1L);
    const std::vector<qint16> pcm =
        mix(noise(rate, 12, 2000, 3), tones(rate, 12, {700, 1400, 2100}, 4000));
    LiveFeatureBank bank;
    bank.configure(rate, 80, 6000);
    DecisionConfig config;
    config.automatic = true;
    config.learn = 10;
    TriggerPolicy policy;
    policy.reset(config, 20);
    FeatureUpdate update;
    std::size_t at = 0;
    const auto second = [&] {
        for (int i = 0; i < rate; ++i) {
            if (bank.pushSample(pcm[at++], &update))
                TriggerPolicy::statusText(policy.step(update, false));
        }
    };
    for (int s = 0; s < 2; ++s) // warm the one-time statics
        second();
    QCOMPARE(allocationsDuring([&] {
                 for (int s = 0; s < 10; ++s)
                     second();
             }),
             0L);
    QCOMPARE(update.historyRows, 64);
    QVERIFY(std::isfinite(update.values[static_cast<int>(AnomalyMetric::DirectionCoherence)]));
}

void TestRealtime::armedSession()
{
    const int rate = 16000;
    AnomalySession session;
    AnomalyArmRequest request;
    request.preSeconds = 2;
    request.postSeconds = 1;
    request.config.automatic = true;
    QVERIFY(session.arm(request, rate, 2));
    const std::vector<qint16> mono = noise(rate, 12, 2000, 4);
    std::vector<qint16> stereo(mono.size() * 2);
    for (std::size_t i = 0; i < mono.size(); ++i)
        stereo[2 * i] = stereo[2 * i + 1] = mono[i];
    const int block = rate / 25; // 40 ms, as an audio device delivers them
    int at = 0;
    const auto feed = [&](int seconds) {
        for (int b = 0; b < seconds * 25; ++b, at += block)
            session.processBlock(stereo.data() + 2 * at, block);
    };
    feed(2);
    QCOMPARE(allocationsDuring([&] { feed(10); }), 0L);
}

QTEST_GUILESS_MAIN(TestRealtime)
#include "tst_realtime.moc"
