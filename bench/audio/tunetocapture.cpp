// Timed command: the delay from a tuning to the first sample of the new station's audio in the
// audio engine. The paced simulator writes its audio in real time into the private PulseAudio
// server of scripts/pulse-test-server (PULSE_SERVER and CORVIN_AUDIO_FIFO must be set), the
// engine captures it; each run tunes from the quiet carrier at 90.9 MHz to the tone at 92.5 MHz
// and times from the call of tune() to the arrival of the first captured block holding a sample
// of the tone. A scan reads the S-meter 140 ms after tuning and then starts listening, so audio
// that takes longer reaches the measurement's first window still from the frequency before.
//
//   bench_tune_to_capture [runs, default 20]

#include "simaudiopath.h"

#include "pulsetestserver.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr qint64 quietCarrierHz = 90900000;
constexpr qint64 toneHz = 92500000;
// The tone reaches about -9 dBFS; the quieted carrier stays near -85 dBFS.
constexpr int toneThreshold = 3000;

void waitMs(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    const QString reason = PulseTest::unavailableReason();
    if (!reason.isEmpty()) {
        std::fprintf(stderr, "bench_tune_to_capture: %s\n", qPrintable(reason));
        return 2;
    }
    SimAudioPath path;
    QString error;
    if (!path.start(&error) || !path.driver().setMode(0)) {
        std::fprintf(stderr, "bench_tune_to_capture: %s\n", qPrintable(error));
        return 1;
    }
    std::vector<double> delays;
    for (int run = 0; run < runs; ++run) {
        if (!path.driver().tune(quietCarrierHz)) {
            std::fprintf(stderr, "bench_tune_to_capture: tuning failed\n");
            return 1;
        }
        waitMs(1000);
        const qint64 first = path.capturedFrames();
        const qint64 start = SimAudioPath::nowNs();
        if (!path.driver().tune(toneHz)) {
            std::fprintf(stderr, "bench_tune_to_capture: tuning failed\n");
            return 1;
        }
        const qint64 tuned = SimAudioPath::nowNs();
        QElapsedTimer clock;
        clock.start();
        qint64 arrival = -1;
        while (arrival < 0 && clock.elapsed() < 3000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            arrival = path.arrivalOfFirstAbove(first, toneThreshold);
        }
        if (arrival < 0) {
            std::fprintf(stderr, "bench_tune_to_capture: run %d: no tone within 3 s\n", run + 1);
            return 1;
        }
        const double ms = double(arrival - start) / 1e6;
        delays.push_back(ms);
        std::printf("run %d: %.1f ms (tune() itself %.1f ms)\n", run + 1, ms,
                    double(tuned - start) / 1e6);
    }
    std::sort(delays.begin(), delays.end());
    std::printf("tune to capture over %d runs: median %.1f ms, min %.1f ms, max %.1f ms\n", runs,
                delays[delays.size() / 2], delays.front(), delays.back());
    return 0;
}
