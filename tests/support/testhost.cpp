#include "testhost.h"

#include "receivermode.h"

#include <QTemporaryDir>
#include <QTest>

QString TestReceiverControl::frequencyText() const
{
    return QString::number(frequency / 1e6, 'f', 6);
}

QString TestReceiverControl::modeText() const
{
    return modeCaption(mode);
}

int TestReceiverControl::modeCount() const
{
    return receiverModeCount;
}

QString TestReceiverControl::modeCaption(int index) const
{
    return receiverModeName(index);
}

void TestReceiverControl::setModeIndex(int index, bool notify)
{
    mode = index;
    modeChanges.append({index, notify});
}

bool TestReceiverControl::tuneNow(qint64 hertz)
{
    frequency = hertz;
    immediateTunes.append(hertz);
    return immediateResult;
}

bool TestReceiverControl::setModeNow(int code)
{
    mode = code;
    immediateModes.append(code);
    return immediateResult;
}

bool TestReceiverControl::readSignalLevelNow(int *level)
{
    *level = immediateLevel;
    shownLevel = immediateLevel;
    return immediateResult;
}

TestHost::TestHost(const QString &settingsFile, QObject *parent)
    : QObject(parent)
{
    QString file = settingsFile;
    if (file.isEmpty()) {
        m_folder = std::make_unique<QTemporaryDir>();
        file = m_folder->filePath(QStringLiteral("settings.ini"));
    }
    m_settings = new QSettings(file, QSettings::IniFormat, this);
}

TestHost::~TestHost() = default;

void TestHost::restoreReceiver(qint64 frequency, int mode)
{
    restores.append({frequency, mode});
    receiver.frequency = frequency;
    receiver.mode = mode;
}

void TestHost::updateConnectionUi()
{
    ++connectionUiUpdates;
    m_activities.updateControls();
}

bool TestHost::disconnectReceiver(bool forceStandby)
{
    disconnects.append(forceStandby);
    return standbyTaken;
}

ScanStandby &TestHost::scanStandby()
{
    if (!standby)
        qFatal("TestHost: the test gave no ScanStandby");
    return *standby;
}

QString TestHost::recordingNameStem() const
{
    return receiver.frequencyText() + QLatin1Char('_') + receiver.modeText();
}

bool TestHost::logContains(const QString &text) const
{
    return logCount(text) > 0;
}

int TestHost::logCount(const QString &text) const
{
    int count = 0;
    for (const QString &line : log)
        count += line.contains(text) ? 1 : 0;
    return count;
}

bool TestHost::startAudioInput()
{
    ++audioInputStarts;
    return audioInputStartable;
}

void TestHost::onAudioInputLost(QObject *context, std::function<void()> handler)
{
    m_inputLostHandlers.append({context, std::move(handler)});
}

void TestHost::loseAudioInput()
{
    for (const auto &entry : m_inputLostHandlers) {
        if (entry.first)
            entry.second();
    }
}
