// corvin-bench-spectrumgui: the GUI thread's share of a core while the Audio Spectrum page is
// shown and fed live: the simulated receiver's USB audio, written in real time into the private
// PulseAudio server's stereo pipe source, captured by the real audio engine as 48 kHz stereo
// with the spectrum on, and drawn by the real page with its stored defaults (waterfall at
// 8 rows/s, live FFT archive on). Each window of --seconds reports the GUI thread's CPU time
// (CLOCK_THREAD_CPUTIME_ID) over wall time, the audio thread's likewise, the frames and
// waterfall rows that arrived (to confirm the rates), the plot canvas and waterfall repaints and
// the archive's bytes; then the medians of --repeats windows and the GUI time per frame.
//
// Needs the private PulseAudio server (eval "$(scripts/pulse-test-server start)") and a display;
// meant to run under Xvfb: xvfb-run -a -s "-screen 0 1400x1200x24" corvin-bench-spectrumgui.

#include "audiofifowriter.h"
#include "audiothreadcall.h"
#include "corvindriver.h"
#include "datafolders.h"
#include "pulsetestserver.h"
#include "rxsimulator.h"
#include "spectrumtab.h"
#include "testhost.h"
#include "waterfallwidget.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <qwt_plot.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

// Where the receiver is tuned: the SSB voice at 4.640 MHz sits 1.5 kHz up in the USB passband.
constexpr qint64 tunedHz = 4638500;
constexpr int usbMode = 3;
constexpr int warmUpMs = 3000;

double threadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *widget) { widget->installEventFilter(this); }
    qint64 paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// The counters of one measuring window, read at its start and its end.
struct Counters
{
    double wall = 0.0;
    double guiCpu = 0.0;
    double audioCpu = 0.0;
    qint64 frames = 0;
    qint64 rows = 0;
    qint64 canvasPaints = 0;
    qint64 waterfallPaints = 0;
    qint64 archiveFrames = 0;
    qint64 archiveBytes = 0;
    qint64 droppedAudio = 0; // simulator frames the pipe source did not take
};

struct Window
{
    double seconds = 0.0;
    double guiPercent = 0.0;
    double audioPercent = 0.0;
    double framesPerSecond = 0.0;
    double rowsPerSecond = 0.0;
    double canvasPaintsPerSecond = 0.0;
    double waterfallPaintsPerSecond = 0.0;
    double guiMsPerFrame = 0.0;
    double archiveBytesPerFrame = 0.0;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// The window as the page sees it, with a real audio engine on its own thread.
class EngineHost : public TestHost
{
public:
    EngineHost()
    {
        recorder = new AudioRecorder;
        recorder->moveToThread(&m_thread);
        connect(&m_thread, &QThread::finished, recorder, &QObject::deleteLater);
        m_thread.start();
    }
    ~EngineHost() override
    {
        callOnAudioThread(recorder, [r = recorder] { r->stopAll(); });
        m_thread.quit();
        m_thread.wait();
    }

private:
    QThread m_thread;
};

void wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

int fail(const QString &message)
{
    std::fprintf(stderr, "error: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    // The archive goes to a folder of its own unless the caller chose one.
    QTemporaryDir dataDir;
    if (qEnvironmentVariableIsEmpty("CORVIN_DATA_DIR"))
        qputenv("CORVIN_DATA_DIR", QFile::encodeName(dataDir.path()));
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("GUI-thread CPU of the Audio Spectrum page fed by the simulated "
                       "receiver's audio through PulseAudio."));
    parser.addHelpOption();
    parser.addOptions({{QStringLiteral("seconds"), QStringLiteral("Length of a window."),
                        QStringLiteral("S"), QStringLiteral("10")},
                       {QStringLiteral("repeats"), QStringLiteral("Windows measured."),
                        QStringLiteral("N"), QStringLiteral("5")}});
    parser.process(app);
    const int seconds = std::max(2, parser.value(QStringLiteral("seconds")).toInt());
    const int repeats = std::max(1, parser.value(QStringLiteral("repeats")).toInt());
    const QString reason = PulseTest::unavailableReason();
    if (!reason.isEmpty())
        return fail(reason);

    // The receiver, tuned by its own commands, and its audio in real time into the pipe source.
    RxSimulator sim;
    sim.setWireLogKept(false);
    QString error;
    Corvindriver driver;
    if (!sim.start(&error) || !driver.openPort(sim.portPath()))
        return fail(QStringLiteral("simulator: %1").arg(error));
    if (!driver.setMode(usbMode) || !driver.tune(tunedHz))
        return fail(QStringLiteral("the simulator did not take USB at %1 Hz").arg(tunedHz));
    AudioFifoWriter audio([&sim] { return sim.audioScene(); }, PulseTest::stereoFifo(), 44100, 2);
    if (!audio.start(&error))
        return fail(QStringLiteral("audio: %1").arg(error));

    EngineHost host;
    host.receiver.frequency = tunedHz;
    host.receiver.mode = usbMode;
    SpectrumTab tab(host);
    tab.start();
    tab.resize(1280, 860);
    tab.show();

    AudioRecorder *recorder = host.recorder;
    const QAudioDeviceInfo input = PulseTest::device(QAudio::AudioInput, "corvin_in_stereo");
    const AudioRecorderState state = callOnAudioThread(recorder, [recorder, input] {
        recorder->setFormatConstraint(QAudio::AudioInput, [](const QAudioFormat &f) {
            return f.sampleRate() == 48000 && f.channelCount() == 2;
        });
        recorder->setSpectrumEnabled(true);
        recorder->startInput(input);
        return recorder->queryState(false);
    });
    if (!state.inputRunning)
        return fail(QStringLiteral("the audio input did not start"));
    tab.followAudioState(state);

    Counters now;
    PaintCounter canvas(tab.plot()->canvas());
    PaintCounter waterfall(tab.waterfall());
    int lastRow = tab.waterfall()->row();
    // Rows are counted from the ring's position at every frame and at the window's ends, far
    // more often than the ring (seconds x rate rows) turns.
    const auto countRows = [&] {
        const int height = tab.waterfall()->image().height();
        const int row = tab.waterfall()->row();
        now.rows += (lastRow - row + height) % height;
        lastRow = row;
    };
    QObject::connect(recorder, &AudioRecorder::spectrumReady, &tab, [&] {
        ++now.frames;
        countRows();
    });
    QObject::connect(recorder, &AudioRecorder::errorOccurred, &tab, [](const QString &message) {
        std::fprintf(stderr, "audio engine: %s\n", qPrintable(message));
    });
    QElapsedTimer clock;
    clock.start();
    const auto read = [&] {
        countRows();
        now.wall = clock.nsecsElapsed() / 1e9;
        now.guiCpu = threadCpuSeconds();
        now.audioCpu = callOnAudioThread(recorder, [] { return threadCpuSeconds(); });
        now.canvasPaints = canvas.paints;
        now.waterfallPaints = waterfall.paints;
        now.archiveFrames = tab.archive().frames();
        const QDir folder(DataFolders::path(QString::fromLatin1(DataFolders::spectrum)));
        const QStringList files =
            folder.entryList({QStringLiteral("fft_*.jsonl")}, QDir::Files, QDir::Name);
        now.archiveBytes = files.isEmpty() ? 0 : QFileInfo(folder.filePath(files.last())).size();
        now.droppedAudio = audio.framesDropped();
        return now;
    };

    wait(warmUpMs);
    if (now.frames == 0)
        return fail(QStringLiteral("no spectrum frames arrived"));
    std::printf("platform %s, input %d Hz x %d, waterfall %d rows/s, archive %s, page %dx%d\n",
                qPrintable(QGuiApplication::platformName()), state.inputFormat.sampleRate(),
                state.inputFormat.channelCount(), tab.waterfall()->rate(),
                tab.settingsPanel()->archiveEnabled() ? "on" : "off", tab.width(), tab.height());
    std::printf("%-7s %8s %8s %9s %9s %9s %9s %10s %10s\n", "window", "GUI %", "audio %",
                "frames/s", "rows/s", "canvas/s", "wfall/s", "GUI ms/fr", "arch B/fr");
    std::vector<Window> windows;
    qint64 droppedAudio = 0;
    for (int i = 0; i < repeats; ++i) {
        const Counters start = read();
        wait(1000 * seconds);
        const Counters end = read();
        Window w;
        w.seconds = end.wall - start.wall;
        const qint64 frames = end.frames - start.frames;
        w.guiPercent = 100.0 * (end.guiCpu - start.guiCpu) / w.seconds;
        w.audioPercent = 100.0 * (end.audioCpu - start.audioCpu) / w.seconds;
        w.framesPerSecond = frames / w.seconds;
        w.rowsPerSecond = (end.rows - start.rows) / w.seconds;
        w.canvasPaintsPerSecond = (end.canvasPaints - start.canvasPaints) / w.seconds;
        w.waterfallPaintsPerSecond = (end.waterfallPaints - start.waterfallPaints) / w.seconds;
        w.guiMsPerFrame = frames > 0 ? 1000.0 * (end.guiCpu - start.guiCpu) / frames : 0.0;
        const qint64 archived = end.archiveFrames - start.archiveFrames;
        w.archiveBytesPerFrame =
            archived > 0 ? double(end.archiveBytes - start.archiveBytes) / archived : 0.0;
        windows.push_back(w);
        droppedAudio += end.droppedAudio - start.droppedAudio;
        std::printf("%-7d %8.2f %8.2f %9.2f %9.2f %9.2f %9.2f %10.3f %10.0f\n", i + 1, w.guiPercent,
                    w.audioPercent, w.framesPerSecond, w.rowsPerSecond, w.canvasPaintsPerSecond,
                    w.waterfallPaintsPerSecond, w.guiMsPerFrame, w.archiveBytesPerFrame);
        std::fflush(stdout);
    }
    const auto medianOf = [&](double Window::*field) {
        std::vector<double> values;
        for (const Window &w : windows)
            values.push_back(w.*field);
        return median(values);
    };
    std::printf("%-7s %8.2f %8.2f %9.2f %9.2f %9.2f %9.2f %10.3f %10.0f\n", "median",
                medianOf(&Window::guiPercent), medianOf(&Window::audioPercent),
                medianOf(&Window::framesPerSecond), medianOf(&Window::rowsPerSecond),
                medianOf(&Window::canvasPaintsPerSecond),
                medianOf(&Window::waterfallPaintsPerSecond), medianOf(&Window::guiMsPerFrame),
                medianOf(&Window::archiveBytesPerFrame));
    std::printf("archive %.1f MB per hour at the median rates; simulator audio frames dropped "
                "while measuring: %lld\n",
                medianOf(&Window::archiveBytesPerFrame) * medianOf(&Window::framesPerSecond) *
                    3600.0 / 1e6,
                static_cast<long long>(droppedAudio));

    // Spectrum off, as the audio panel reports it: the page closes its archive.
    callOnAudioThread(recorder, [recorder] { recorder->stopAll(); });
    tab.followAudioState(AudioRecorderState{});
    audio.stop();
    return 0;
}
