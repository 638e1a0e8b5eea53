// A recording process for the tests that kill it or fill its disk: records the left channel of
// the private PulseAudio server's corvin_in source to a WAV file with the real audio engine.
//
//   recorderchild WAV [MAX_FILE_BYTES]
//
// With MAX_FILE_BYTES the process may not grow any file beyond that size (RLIMIT_FSIZE, with
// SIGXFSZ ignored), so writes past it fail as on a full disk. Prints "recording" once the file
// is open, "error: <message>" for every message of the engine and "stopped" when the
// recording ends by itself, then exits 0. Exits 2 when it cannot start, 3 after a minute.

#include "audiorecorder.h"
#include "pulsetestserver.h"

#include <QCoreApplication>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>

namespace {

void say(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 2) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlim_t limit = std::strtoull(argv[2], nullptr, 10);
        const rlimit fileSize{limit, limit};
        if (setrlimit(RLIMIT_FSIZE, &fileSize) != 0)
            return 2;
    }
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);

    AudioRecorder recorder;
    QObject::connect(&recorder, &AudioRecorder::errorOccurred,
                     [](const QString &message) { say(QStringLiteral("error: ") + message); });
    if (!recorder.startInput(PulseTest::device(QAudio::AudioInput, QStringLiteral("corvin_in"))) ||
        !recorder.startRecording(path, 0))
        return 2;
    say(QStringLiteral("recording"));

    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!recorder.queryState(true).recording) {
            say(QStringLiteral("stopped"));
            app.exit(0);
        }
    });
    watch.start(20);
    QTimer::singleShot(60000, &app, [&app] { app.exit(3); });
    return app.exec();
}
