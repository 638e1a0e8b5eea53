#include "audioengine.h"
#include "audiorecorder.h"
#include "pulsetestserver.h"

#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

// The audio thread's owner: what the engine reports while it stops at exit.
class TestAudioEngine : public QObject
{
    Q_OBJECT

private slots:
    void finalizeFailureAtExitIsReported();
};

void TestAudioEngine::finalizeFailureAtExitIsReported()
{
    REQUIRE_PULSE_SERVER();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("take.wav"));
    AudioEngine engine;
    QStringList reported;
    connect(&engine, &AudioEngine::errorOccurred, this,
            [&reported](const QString &message) { reported << message; });
    // A panel hears the recorder through queued calls; after shutdown nothing may reach it.
    QObject panel;
    int late = 0;
    connect(engine.recorder(), &AudioRecorder::errorOccurred, &panel, [&late] { ++late; });
    engine.start();
    AudioRecorder *recorder = engine.recorder();
    bool recording = false;
    QMetaObject::invokeMethod(
        recorder,
        [&] {
            recording = recorder->startInput(PulseTest::device(QAudio::AudioInput, "corvin_in")) &&
                        recorder->startRecording(path, 0);
        },
        Qt::BlockingQueuedConnection);
    QVERIFY(recording);

    // The pipe source delivers nothing unless fed, so the file holds only its 44-byte header.
    // Below that size the header cannot be rewritten: finalising fails as on a broken disk.
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit tight{40, saved.rlim_max};
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &tight), 0);
    engine.shutdown();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QCOMPARE(reported, QStringList{QStringLiteral("Could not finalize WAV file %1.").arg(path)});
    QVERIFY(!engine.recorder());
    QCoreApplication::processEvents();
    QCOMPARE(late, 0);
}

QTEST_GUILESS_MAIN(TestAudioEngine)
#include "tst_audioengine.moc"
