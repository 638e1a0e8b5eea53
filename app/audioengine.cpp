#include "audioengine.h"

#include "audiorecorder.h"

#include <QStringList>
#include <QThread>

AudioEngine::AudioEngine(QObject *parent)
    : QObject(parent)
    , m_thread(new QThread(this))
    , m_recorder(new AudioRecorder)
{
    m_thread->setObjectName(QStringLiteral("audio"));
    m_recorder->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, m_recorder, &QObject::deleteLater);
}

AudioEngine::~AudioEngine()
{
    shutdown();
}

void AudioEngine::start()
{
    m_thread->start(QThread::InheritPriority);
}

void AudioEngine::stopAll()
{
    if (m_recorder && m_thread->isRunning())
        QMetaObject::invokeMethod(m_recorder, &AudioRecorder::stopAll,
                                  Qt::BlockingQueuedConnection);
}

void AudioEngine::shutdown()
{
    if (!m_recorder)
        return;
    if (m_thread->isRunning()) {
        // Queued signals to the panels would wait for an event loop that has ended, and a
        // late delivery would reach an engine that is gone.
        disconnect(m_recorder, nullptr, nullptr, nullptr);
        QStringList messages;
        // Runs on the audio thread while this thread waits for stopAll, which orders it
        // before the messages are read below.
        connect(
            m_recorder, &AudioRecorder::errorOccurred, m_recorder,
            [&messages](const QString &message) { messages.append(message); },
            Qt::DirectConnection);
        stopAll();
        // The devices stopAll closed are deleted by the audio thread's running event loop: Qt's
        // PulseAudio input can crash when it is deleted while the thread is ending.
        QMetaObject::invokeMethod(
            m_recorder, [] {}, Qt::BlockingQueuedConnection);
        m_thread->quit();
        m_thread->wait();
        for (const QString &message : qAsConst(messages))
            emit errorOccurred(message);
    } else {
        // The thread never ran: nothing will deliver the deferred deletion.
        delete m_recorder;
    }
    m_recorder = nullptr;
}
