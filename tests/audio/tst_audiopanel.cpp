#include "activityregistry.h"
#include "audiopanel.h"
#include "audiorecorder.h"
#include "devicecombo.h"
#include "pulsetestserver.h"
#include "settingskeys.h"
#include "testhost.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSlider>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

namespace {

// The main window as the panel sees it: settings, log, activity flags and the recorder on its
// own thread.
class Host : public TestHost
{
public:
    explicit Host(const QString &settingsFile)
        : TestHost(settingsFile)
    {
        activities().registerActivity(Activity::AnomalyCapture, this, [this] { return armed; });
        recorder = new AudioRecorder;
        recorder->moveToThread(&m_thread);
        connect(&m_thread, &QThread::finished, recorder, &QObject::deleteLater);
        m_thread.start();
    }
    ~Host() override
    {
        QMetaObject::invokeMethod(
            recorder, [r = recorder] { r->stopAll(); }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }

    bool isAudioInputHeld() const override { return scanning || armed; }

    bool scanning = false;
    bool armed = false;

private:
    QThread m_thread;
};

template <typename T> T *child(QWidget *panel, const char *name)
{
    T *widget = panel->findChild<T *>(QLatin1String(name));
    if (!widget) {
        qFatal("missing %s", name);
    }
    return widget;
}

} // namespace

class TestAudioPanel : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_oldCurrent;

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_oldCurrent = QDir::currentPath();
        QDir::setCurrent(m_dir.path()); // recordings go below the current folder
    }
    void cleanupTestCase() { QDir::setCurrent(m_oldCurrent); }

    void durationText_data()
    {
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << qint64(0) << "00:00:00";
        QTest::newRow("one") << qint64(1) << "00:00:01";
        QTest::newRow("hour") << qint64(3725) << "01:02:05";
        QTest::newRow("long") << qint64(100 * 3600 + 59) << "100:00:59";
    }
    void durationText()
    {
        QFETCH(qint64, seconds);
        QFETCH(QString, text);
        QCOMPARE(AudioPanel::durationText(seconds), text);
    }

    void emptyDeviceList()
    {
        QComboBox combo;
        combo.addItems({"old", "items"});
        combo.setToolTip("old");
        QSignalSpy changed(&combo, QOverload<int>::of(&QComboBox::currentIndexChanged));
        fillDeviceCombo(&combo, {}, QStringLiteral("old"), QAudioDeviceInfo(), true);
        QCOMPARE(combo.count(), 1);
        QCOMPARE(combo.itemText(0), QStringLiteral("No devices available"));
        QVERIFY(!combo.itemData(0).isValid());
        QVERIFY(combo.toolTip().isEmpty());
        QCOMPARE(changed.count(), 0); // signals blocked while refilling
    }

    void devicesAndStoredSelections()
    {
        REQUIRE_PULSE_SERVER();
        Host host(m_dir.filePath("devices.ini"));
        host.settings().setValue(SettingsKeys::audioInput, "corvin_in_stereo");
        host.settings().setValue(SettingsKeys::audioFilterPreset, 7);
        host.settings().setValue(SettingsKeys::audioVolume, 30);
        AudioPanel panel(host);
        QCOMPARE(panel.objectName(), QStringLiteral("audioPanel"));
        panel.start();

        auto *inputs = child<QComboBox>(&panel, "audioInputCB");
        auto *outputs = child<QComboBox>(&panel, "audioOutputCB");
        QCOMPARE(inputs->itemText(0), QStringLiteral("System default input"));
        QCOMPARE(inputs->currentText(), QStringLiteral("corvin_in_stereo"));
        QCOMPARE(inputs->toolTip(), QStringLiteral("corvin_in_stereo"));
        QCOMPARE(panel.selectedInputDevice().deviceName(), QStringLiteral("corvin_in_stereo"));
        // Nothing stored for the output: the system default, listed first, is chosen.
        QCOMPARE(outputs->currentIndex(), 0);
        QCOMPARE(outputs->currentText(), QStringLiteral("System default output"));
        QCOMPARE(panel.selectedOutputDevice().deviceName(), QStringLiteral("corvin_out"));
        // The default device's own entry is a duplicate of the first one.
        QCOMPARE(outputs->findData("corvin_out (2)"), 1);
        QCOMPARE(outputs->count(), 2);

        // A stored preset beyond the list is clamped; the stored volume is shown.
        QCOMPARE(child<QComboBox>(&panel, "audioFilterCB")->currentIndex(), 2);
        QCOMPARE(child<QSlider>(&panel, "volumeSlider")->value(), 30);
        QCOMPARE(child<QLabel>(&panel, "volumeValue")->text(), QStringLiteral("30%"));
        QCOMPARE(child<QLabel>(&panel, "audioStatus")->text(), QStringLiteral("Audio off"));

        inputs->setCurrentIndex(inputs->findData("corvin_in (2)"));
        QCOMPARE(host.settings().value(SettingsKeys::audioInput).toString(),
                 QStringLiteral("corvin_in (2)"));
        QCOMPARE(inputs->toolTip(), QStringLiteral("corvin_in (2)"));
        child<QSlider>(&panel, "volumeSlider")->setValue(72);
        QCOMPARE(child<QLabel>(&panel, "volumeValue")->text(), QStringLiteral("72%"));
        QCOMPARE(host.settings().value(SettingsKeys::audioVolume).toInt(), 72);
        child<QComboBox>(&panel, "audioFilterCB")->setCurrentIndex(1);
        QCOMPARE(host.settings().value(SettingsKeys::audioFilterPreset).toInt(), 1);
        QVERIFY(host.log.contains("Playback audio filter: Voice (300-3400 Hz)."));
    }

    void actionsFollowTheRecorder()
    {
        REQUIRE_PULSE_SERVER();
        Host host(m_dir.filePath("actions.ini"));
        host.settings().setValue(SettingsKeys::audioInput, "corvin_in");
        AudioPanel panel(host);
        QSignalSpy spectrumPage(&panel, &AudioPanel::spectrumPageRequested);
        panel.start();
        auto *listen = child<QPushButton>(&panel, "monitorPB");
        auto *spectrum = child<QPushButton>(&panel, "grabPB");
        auto *record = child<QPushButton>(&panel, "savePB");
        auto *status = child<QLabel>(&panel, "audioStatus");

        listen->click();
        QVERIFY(listen->isChecked());
        QCOMPARE(status->text(), QStringLiteral("Listening"));
        QCOMPARE(status->toolTip(), QStringLiteral("Input: 48000 Hz, 2 ch, 16-bit PCM\n"
                                                   "Output: 48000 Hz, 2 ch, 16-bit PCM"));
        QVERIFY(!child<QComboBox>(&panel, "audioInputCB")->isEnabled());
        QVERIFY(!child<QComboBox>(&panel, "audioOutputCB")->isEnabled());
        QVERIFY(!child<QPushButton>(&panel, "refreshAudioPB")->isEnabled());

        record->click();
        QVERIFY(record->isChecked());
        QCOMPARE(status->text(), QStringLiteral("Listening | Recording WAV"));
        const QString destination = host.log.filter("WAV destination: ").value(0);
        QVERIFY2(
            destination.contains(QDir::toNativeSeparators(m_dir.path() + "/grab/145.500000_NFM_")),
            qPrintable(destination));
        QVERIFY(destination.endsWith(".wav"));
        QCOMPARE(QDir(m_dir.filePath("grab")).entryList(QDir::Files).size(), 1);

        spectrum->click();
        QCOMPARE(spectrumPage.count(), 1);
        QCOMPARE(status->text(), QStringLiteral("Listening | Spectrum active | Recording WAV"));
        host.armed = true;
        panel.refreshAudioStatus();
        QCOMPARE(
            status->text(),
            QStringLiteral("Listening | Spectrum active | Recording WAV | Event buffer active"));
        host.armed = false;

        listen->click();
        spectrum->click();
        QVERIFY(!listen->isChecked());
        QCOMPARE(status->text(), QStringLiteral("Recording WAV"));
        record->click();
        QCOMPARE(status->text(), QStringLiteral("Audio off"));
        QVERIFY(child<QComboBox>(&panel, "audioInputCB")->isEnabled());
        QVERIFY(child<QPushButton>(&panel, "refreshAudioPB")->isEnabled());
    }

    void inputHeldByAnActivityStaysOpen()
    {
        REQUIRE_PULSE_SERVER();
        Host host(m_dir.filePath("held.ini"));
        AudioPanel panel(host);
        QSignalSpy lost(&panel, &AudioPanel::inputLost);
        QSignalSpy refreshed(&panel, &AudioPanel::audioStateRefreshed);
        panel.start();
        host.scanning = true;
        panel.applyAudioAction(AudioPanel::Listen, true);
        panel.applyAudioAction(AudioPanel::Listen, false);
        QVERIFY(!refreshed.isEmpty());
        // The scan still needs the input: it stays open (input selector locked).
        QVERIFY(!child<QComboBox>(&panel, "audioInputCB")->isEnabled());
        QCOMPARE(lost.count(), 0);
        // The scan ends: the next refresh closes the idle input.
        host.scanning = false;
        panel.refreshAudioStatus();
        QVERIFY(child<QComboBox>(&panel, "audioInputCB")->isEnabled());
        // An activity that believes it holds the input learns that it is gone.
        host.scanning = true;
        panel.refreshAudioStatus();
        QCOMPARE(lost.count(), 1);
    }

    void failedRecordingShowsTheError()
    {
        REQUIRE_PULSE_SERVER();
        Host host(m_dir.filePath("error.ini"));
        host.settings().setValue(SettingsKeys::audioInput, "corvin_in");
        AudioPanel panel(host);
        QComboBox channels;
        channels.addItems({"Left / mono", "Right", "Third"});
        channels.setCurrentIndex(2);
        panel.setWavChannelSelector(&channels);
        panel.start();
        auto *record = child<QPushButton>(&panel, "savePB");
        auto *status = child<QLabel>(&panel, "audioStatus");
        record->click();
        QVERIFY(!record->isChecked());
        QTRY_COMPARE(status->text(), QStringLiteral("Audio error. See the log in Settings."));
        QCOMPARE(status->toolTip(), QStringLiteral("Selected WAV input channel unavailable."));
        QVERIFY(host.log.contains("Selected WAV input channel unavailable."));
        QVERIFY(child<QComboBox>(&panel, "audioInputCB")->isEnabled()); // input closed again

        channels.setCurrentIndex(1);
        record->click();
        QVERIFY(record->isChecked());
        QVERIFY(!channels.isEnabled());
        QCOMPARE(status->text(), QStringLiteral("Recording WAV"));
        record->click();
        QVERIFY(channels.isEnabled());
    }
};

QTEST_MAIN(TestAudioPanel)
#include "tst_audiopanel.moc"
