#include "audiopanel.h"

#include "audiodevices.h"
#include "audioformats.h"
#include "audiothreadcall.h"
#include "devicecombo.h"
#include "playbackfilter.h"

#include "activityregistry.h"
#include "corvinhost.h"
#include "settingskeys.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSignalBlocker>
#include <QSlider>

#include <algorithm>

namespace {

QPushButton *actionButton(const QString &name, const QString &text, const QString &tip,
                          QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setToolTip(tip);
    button->setCheckable(true);
    return button;
}

} // namespace

AudioPanel::AudioPanel(CorvinHost &host, QWidget *parent)
    : QFrame(parent)
    , m_host(host)
{
    setObjectName(QStringLiteral("audioPanel"));
    buildUi();
    connectControls();
}

void AudioPanel::buildUi()
{
    m_inputCombo = new QComboBox(this);
    m_inputCombo->setObjectName(QStringLiteral("audioInputCB"));
    m_outputCombo = new QComboBox(this);
    m_outputCombo->setObjectName(QStringLiteral("audioOutputCB"));
    for (QComboBox *combo : {m_inputCombo, m_outputCombo}) {
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumContentsLength(16);
    }
    auto *inputLabel = new QLabel(tr("&Input"), this);
    inputLabel->setBuddy(m_inputCombo);
    auto *outputLabel = new QLabel(tr("&Output"), this);
    outputLabel->setBuddy(m_outputCombo);

    m_refreshButton = new QPushButton(tr("Refresh devices"), this);
    m_refreshButton->setObjectName(QStringLiteral("refreshAudioPB"));
    m_refreshButton->setToolTip(tr("Find connected audio inputs and outputs."));

    m_listenButton =
        actionButton(QStringLiteral("monitorPB"), tr("&Listen on PC"),
                     tr("Play the selected audio input on the selected output."), this);
    m_spectrumButton =
        actionButton(QStringLiteral("grabPB"), tr("Audio spectrum"),
                     tr("Show the live spectrum of the selected audio input."), this);
    m_recordButton = actionButton(QStringLiteral("savePB"), tr("Record WAV"),
                                  tr("Record the audio input to the grab folder."), this);
    m_duration = new QLabel(durationText(0), this);
    m_duration->setObjectName(QStringLiteral("recordingDuration"));
    m_duration->setToolTip(tr("Duration of audio written to the WAV file."));

    m_volume = new QSlider(Qt::Horizontal, this);
    m_volume->setObjectName(QStringLiteral("volumeSlider"));
    m_volume->setRange(0, 100);
    auto *volumeLabel = new QLabel(tr("&Volume"), this);
    volumeLabel->setBuddy(m_volume);
    m_volumeValue = new QLabel(this);
    m_volumeValue->setObjectName(QStringLiteral("volumeValue"));
    m_volumeValue->setMinimumWidth(m_volumeValue->fontMetrics().horizontalAdvance("100%") + 4);

    m_filterCombo = new QComboBox(this);
    m_filterCombo->setObjectName(QStringLiteral("audioFilterCB"));
    m_filterCombo->addItems(
        {tr("Off"), tr("Voice (300-3400 Hz)"), tr("Narrow voice (350-2200 Hz)")});
    m_filterCombo->setToolTip(tr("Filter playback only. WAV recordings, input meter and "
                                 "spectrum use the original captured signal."));
    auto *filterLabel = new QLabel(tr("Audio filter"), this);
    filterLabel->setBuddy(m_filterCombo);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("audioStatus"));

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(14, 12, 14, 12);
    grid->addWidget(inputLabel, 0, 0);
    grid->addWidget(m_inputCombo, 0, 1, 1, 3);
    grid->addWidget(m_refreshButton, 0, 4);
    grid->addWidget(outputLabel, 1, 0);
    grid->addWidget(m_outputCombo, 1, 1, 1, 3);
    auto *actions = new QHBoxLayout;
    actions->addWidget(m_listenButton);
    actions->addWidget(m_spectrumButton);
    actions->addWidget(m_recordButton);
    actions->addWidget(m_duration);
    actions->addStretch(1);
    grid->addLayout(actions, 2, 0, 1, 5);
    grid->addWidget(volumeLabel, 3, 0);
    grid->addWidget(m_volume, 3, 1);
    grid->addWidget(m_volumeValue, 3, 2);
    grid->addWidget(filterLabel, 3, 3);
    grid->addWidget(m_filterCombo, 3, 4);
    grid->addWidget(m_status, 4, 0, 1, 5);
    grid->setColumnStretch(1, 1);
}

void AudioPanel::connectControls()
{
    connect(m_refreshButton, &QPushButton::clicked, this, &AudioPanel::refreshAudioDevices);
    connect(m_listenButton, &QPushButton::clicked, this,
            [this](bool on) { applyAudioAction(Listen, on); });
    connect(m_spectrumButton, &QPushButton::clicked, this,
            [this](bool on) { applyAudioAction(Spectrum, on); });
    connect(m_recordButton, &QPushButton::clicked, this,
            [this](bool on) { applyAudioAction(Record, on); });
    connect(m_volume, &QSlider::valueChanged, this, &AudioPanel::onVolumeChanged);
    connect(m_filterCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &AudioPanel::onFilterChanged);
    connect(m_inputCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this] {
        m_inputCombo->setToolTip(m_inputCombo->currentText());
        m_host.settings().setValue(SettingsKeys::audioInput, m_inputCombo->currentData());
        emit inputDeviceChanged();
    });
    connect(m_outputCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this] {
        m_outputCombo->setToolTip(m_outputCombo->currentText());
        m_host.settings().setValue(SettingsKeys::audioOutput, m_outputCombo->currentData());
    });
}

void AudioPanel::start()
{
    m_recorder = m_host.audioRecorder();
    if (m_recorder) {
        connect(m_recorder, &AudioRecorder::errorOccurred, this, &AudioPanel::onRecorderError);
        connect(m_recorder, &AudioRecorder::recordingDurationChanged, this,
                [this](qint64 seconds) { m_duration->setText(durationText(seconds)); });
    }
    QSettings &settings = m_host.settings();
    const int preset = std::clamp(settings.value(SettingsKeys::audioFilterPreset, 0).toInt(), 0,
                                  PlaybackFilter::presetCount - 1);
    {
        const QSignalBlocker blocker(m_filterCombo);
        m_filterCombo->setCurrentIndex(preset);
    }
    if (m_recorder) {
        AudioRecorder *recorder = m_recorder;
        QMetaObject::invokeMethod(recorder,
                                  [recorder, preset] { recorder->setFilterPreset(preset); });
    }
    const int volume = std::clamp(settings.value(SettingsKeys::audioVolume, 55).toInt(), 0, 100);
    {
        const QSignalBlocker blocker(m_volume);
        m_volume->setValue(volume);
    }
    m_volumeValue->setText(QStringLiteral("%1%").arg(volume));
    refreshAudioDevices();
}

void AudioPanel::setWavChannelSelector(QComboBox *selector)
{
    m_wavChannel = selector;
}

void AudioPanel::addPeakMeter(QWidget *meter)
{
    auto *grid = static_cast<QGridLayout *>(layout());
    grid->addWidget(meter, grid->rowCount(), 0, 1, 5);
}

template <typename F> auto AudioPanel::onAudioThread(F f) const
{
    return callOnAudioThread(m_recorder, f);
}

QAudioDeviceInfo AudioPanel::selectedInputDevice() const
{
    const int index = m_inputCombo->currentIndex();
    return index >= 0 && index < m_inputs.size() ? m_inputs[index] : QAudioDeviceInfo();
}

QAudioDeviceInfo AudioPanel::selectedOutputDevice() const
{
    const int index = m_outputCombo->currentIndex();
    return index >= 0 && index < m_outputs.size() ? m_outputs[index] : QAudioDeviceInfo();
}

QString AudioPanel::durationText(qint64 seconds)
{
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

bool AudioPanel::syntheticSweepRunning() const
{
    return m_host.activities().isRunning(Activity::SyntheticSweep);
}

bool AudioPanel::eventBufferArmed() const
{
    return m_host.activities().isRunning(Activity::AnomalyCapture);
}

QString AudioPanel::recordingPath() const
{
    QDir::current().mkpath(QStringLiteral("grab"));
    return QStringLiteral("grab/%1_%2.wav")
        .arg(m_host.recordingNameStem(),
             QDateTime::currentDateTime().toString(QStringLiteral("yyyy_MM_dd__hh_mm_ss_zzz")));
}

void AudioPanel::applyAudioAction(AudioPanel::AudioAction action, bool enable)
{
    m_lastError.clear();
    if (!m_recorder) {
        refreshAudioStatus();
        return;
    }
    const QAudioDeviceInfo input = selectedInputDevice();
    const QAudioDeviceInfo output = selectedOutputDevice();
    const double volume = m_volume->value() / 100.0;
    const QString path = action == Record && enable ? recordingPath() : QString();
    const int channel = m_wavChannel ? std::max(0, m_wavChannel->currentIndex()) : 0;
    const bool held = m_host.isAudioInputHeld();
    AudioRecorder *recorder = m_recorder;

    const bool recordingStarted = onAudioThread([&] {
        bool started = false;
        if (enable && !recorder->startInput(input)) {
            return false;
        }
        switch (action) {
        case Listen:
            enable ? void(recorder->startPlayback(output, volume)) : recorder->stopPlayback();
            break;
        case Spectrum:
            recorder->setSpectrumEnabled(enable);
            break;
        case Record:
            if (enable) {
                started = recorder->startRecording(path, channel);
            } else {
                recorder->stopRecording();
            }
            break;
        }
        if (!held) {
            // Closes the input when none of listening, spectrum and recording is left.
            recorder->queryState(false);
        }
        return started;
    });

    if (action == Spectrum && enable) {
        emit spectrumPageRequested();
    }
    if (recordingStarted) {
        m_host.appendLog(tr("WAV destination: %1")
                             .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())));
    }
    refreshAudioStatus();
}

bool AudioPanel::startSelectedInput()
{
    m_lastError.clear();
    if (!m_recorder)
        return false;
    AudioRecorder *recorder = m_recorder;
    const QAudioDeviceInfo input = selectedInputDevice();
    return onAudioThread([recorder, input] { return recorder->startInput(input); });
}

void AudioPanel::refreshAudioStatus()
{
    const bool held = m_host.isAudioInputHeld();
    AudioRecorderState state;
    if (m_recorder) {
        AudioRecorder *recorder = m_recorder;
        state = onAudioThread([recorder, held] { return recorder->queryState(held); });
    }
    const bool hasInputs = !m_inputs.isEmpty();
    const bool hasOutputs = !m_outputs.isEmpty();
    const bool sweep = syntheticSweepRunning();
    m_inputCombo->setEnabled(hasInputs && !state.inputRunning);
    m_outputCombo->setEnabled(hasOutputs && !state.listening);
    m_refreshButton->setEnabled(!state.inputRunning);
    m_listenButton->setEnabled(!sweep && hasInputs && hasOutputs);
    m_spectrumButton->setEnabled(!sweep && hasInputs);
    m_recordButton->setEnabled(!sweep && hasInputs);
    m_volume->setEnabled(hasOutputs);
    if (m_wavChannel) {
        m_wavChannel->setEnabled(!state.recording && !eventBufferArmed());
    }
    m_listenButton->setChecked(state.listening);
    m_spectrumButton->setChecked(state.spectrumOn);
    m_recordButton->setChecked(state.recording);
    m_status->setText(statusText(state));
    m_status->setToolTip(statusToolTip(state));
    emit audioStateRefreshed(state);
    if (!state.inputRunning && held) {
        emit inputLost();
    }
}

QString AudioPanel::statusText(const AudioRecorderState &state) const
{
    if (!m_lastError.isEmpty()) {
        return tr("Audio error. See the log in Settings.");
    }
    if (m_inputs.isEmpty()) {
        return tr("No audio input available");
    }
    if (m_outputs.isEmpty()) {
        return tr("No audio output available");
    }
    QStringList active;
    if (state.listening) {
        active << tr("Listening");
    }
    if (state.spectrumOn) {
        active << tr("Spectrum active");
    }
    if (state.recording) {
        active << tr("Recording WAV");
    }
    if (eventBufferArmed()) {
        const bool italian = qApp->property("language").toString() == QLatin1String("it");
        active << (italian ? QStringLiteral("Buffer eventi attivo")
                           : QStringLiteral("Event buffer active"));
    }
    return active.isEmpty() ? tr("Audio off") : active.join(QStringLiteral(" | "));
}

QString AudioPanel::statusToolTip(const AudioRecorderState &state) const
{
    if (!m_lastError.isEmpty()) {
        return m_lastError;
    }
    if (!state.inputRunning) {
        return QString();
    }
    QString tip = tr("Input: %1").arg(AudioFormats::describe(state.inputFormat));
    if (state.listening) {
        tip += QLatin1Char('\n') + tr("Output: %1").arg(AudioFormats::describe(state.outputFormat));
    }
    return tip;
}

void AudioPanel::refreshAudioDevices()
{
    m_lastError.clear();
    const QAudioDeviceInfo defaultInput = QAudioDeviceInfo::defaultInputDevice();
    const QAudioDeviceInfo defaultOutput = QAudioDeviceInfo::defaultOutputDevice();
    m_inputs = AudioDevices::list(QAudio::AudioInput, defaultInput);
    m_outputs = AudioDevices::list(QAudio::AudioOutput, defaultOutput);
    QSettings &settings = m_host.settings();
    fillDeviceCombo(m_inputCombo, m_inputs, settings.value(SettingsKeys::audioInput).toString(),
                    defaultInput, true);
    fillDeviceCombo(m_outputCombo, m_outputs, settings.value(SettingsKeys::audioOutput).toString(),
                    defaultOutput, false);
    refreshAudioStatus();
}

void AudioPanel::onRecorderError(const QString &message)
{
    m_lastError = message;
    m_host.appendLog(message);
    refreshAudioStatus();
}

void AudioPanel::onVolumeChanged(int value)
{
    m_volumeValue->setText(QStringLiteral("%1%").arg(value));
    m_host.settings().setValue(SettingsKeys::audioVolume, value);
    if (m_recorder) {
        AudioRecorder *recorder = m_recorder;
        const double volume = value / 100.0;
        QMetaObject::invokeMethod(recorder,
                                  [recorder, volume] { recorder->setPlaybackVolume(volume); });
    }
}

void AudioPanel::onFilterChanged(int index)
{
    m_host.settings().setValue(SettingsKeys::audioFilterPreset, index);
    if (m_recorder) {
        AudioRecorder *recorder = m_recorder;
        QMetaObject::invokeMethod(recorder,
                                  [recorder, index] { recorder->setFilterPreset(index); });
    }
    m_host.appendLog(tr("Playback audio filter: %1.").arg(m_filterCombo->currentText()));
}

QString AudioPanel::selectedInputText() const
{
    return m_inputCombo->currentText();
}

bool AudioPanel::isListening() const
{
    return m_listenButton->isChecked();
}
