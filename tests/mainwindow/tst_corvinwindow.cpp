#include "activityregistry.h"
#include "anomalypanel.h"
#include "audioblockconsumer.h"
#include "audiorecorder.h"
#include "corvin.h"
#include "dsptab.h"
#include "settingskeys.h"
#include "settingspage.h"
#include "startup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest>

#include <memory>

// The main window as a whole: its widget tree, settings restore and store, the one-activity
// rule, the shutdown order and the log view.
class TestCorvinWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void widgetTreeAndTabOrder();
    void restoresOutOfRangeSettings();
    void greylinePageReadsTheListeningLocation();
    void activityRegistryDecidesIdle();
    void shutdownRunsStepsInOrder();
    void audioErrorsAtExitReachTheLog();
    void disconnectDisarmsAnomalyCaptureFirst();
    void anomalyPanelLivesInTheDspTab();
    void logViewKeepsLastLines();
    void dataFolderFailureIsLogged();

private:
    static QStringList tabNames(const QTabWidget *tabs);
    QTemporaryDir m_dir;
};

void TestCorvinWindow::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QString::fromLatin1(SettingsKeys::organization));
    QCoreApplication::setApplicationName(QString::fromLatin1(SettingsKeys::application));
    QVERIFY(m_dir.isValid());
    // A file standing in for the simulated receiver's terminal puts one port in the list.
    const QString port = m_dir.filePath(QStringLiteral("receiver"));
    QFile file(port);
    QVERIFY(file.open(QIODevice::WriteOnly));
    qputenv("CORVIN_SIMULATOR_PORT", port.toUtf8());
}

void TestCorvinWindow::init()
{
    QSettings().clear();
}

QStringList TestCorvinWindow::tabNames(const QTabWidget *tabs)
{
    QStringList names;
    for (int i = 0; i < tabs->count(); ++i)
        names << tabs->widget(i)->objectName() + QLatin1Char('=') + tabs->tabText(i);
    return names;
}

void TestCorvinWindow::widgetTreeAndTabOrder()
{
    Corvin window;
    QCOMPARE(window.objectName(), QStringLiteral("CorvinClass"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Corvin Remote"));
    QVERIFY(window.width() <= Corvin::initialWidth && window.height() <= Corvin::initialHeight);

    QCOMPARE(window.mainTab()->objectName(), QStringLiteral("mainTab"));
    const QStringList mainPages{QStringLiteral("Main=Receiver"),
                                QStringLiteral("RxBandScope=RX Band Scope"),
                                QStringLiteral("RfSynthetic=RF Synthetic Spectrum"),
                                QStringLiteral("RfSpectrum=Frequency Spectrum Analyzer"),
                                QStringLiteral("Dsp=DSP"),
                                QStringLiteral("Propagation=Propagation"),
                                QStringLiteral("Greyline=Greyline"),
                                QStringLiteral("Settings=Settings")};
    QCOMPARE(tabNames(window.mainTab()), mainPages);
    QCOMPARE(window.controlsTab()->objectName(), QStringLiteral("controls"));
    QCOMPARE(tabNames(window.controlsTab()), (QStringList{QStringLiteral("Favorites=Favorites"),
                                                          QStringLiteral("Spectrum=Audio Spectrum"),
                                                          QStringLiteral("SmartScan=Smart Scan")}));

    // Scrolling pages: a frameless, resizing scroll area named after the page.
    for (const char *page : {"Main", "Spectrum", "SmartScan", "RfSpectrum", "Dsp", "Settings"}) {
        const QString name = QString::fromLatin1(page);
        auto *scroll = window.findChild<QScrollArea *>(name + QStringLiteral("Scroll"));
        QVERIFY2(scroll, page);
        QCOMPARE(scroll->parentWidget()->objectName(), name);
        QCOMPARE(scroll->frameShape(), QFrame::NoFrame);
        QVERIFY(scroll->widgetResizable());
        QCOMPARE(scroll->parentWidget()->layout()->contentsMargins(), QMargins());
        QVERIFY(window.pageLayout(name));
    }

    for (const char *name : {"appTitle",
                             "receiverStatus",
                             "localTimeCaption",
                             "localTime",
                             "universalTimeCaption",
                             "universalTime",
                             "radioPanel",
                             "frequencyCaption",
                             "frequency",
                             "frequencyUnit",
                             "modulationLB",
                             "modulationCB",
                             "stepLB",
                             "stepCB",
                             "fxPB",
                             "scanPB",
                             "effectiveMode",
                             "audioPeakCaption",
                             "audioPeakMeter",
                             "meterCaption",
                             "level",
                             "smeter",
                             "tuningCaption",
                             "tuning",
                             "serialPanel",
                             "serialLabel",
                             "serialCB",
                             "openPB",
                             "standbyOnDisconnect",
                             "scanPanel",
                             "scanLevelLB",
                             "scanLevelSB",
                             "openDataFolderPB",
                             "settingsLogLabel",
                             "logText"}) {
        QVERIFY2(window.findChild<QWidget *>(QString::fromLatin1(name)), name);
    }
    // The input peak meter sits in the radio panel, beside its caption.
    QVERIFY(window.findChild<QWidget *>(QStringLiteral("radioPanel"))
                ->findChild<QWidget *>(QStringLiteral("audioPeakMeter")));
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("appTitle"))->text(),
             QStringLiteral("Corvin"));
    // The clocks run from construction on.
    QVERIFY(window.findChild<QLabel *>(QStringLiteral("localTime"))->text().contains(':'));
    QVERIFY(window.findChild<QLabel *>(QStringLiteral("universalTime"))->text() !=
            QStringLiteral("--:--:--"));
    auto *modes = window.findChild<QComboBox *>(QStringLiteral("modulationCB"));
    QCOMPARE(modes->count(), 10);
    QCOMPARE(modes->itemText(9), QStringLiteral("AUTO"));
    auto *steps = window.findChild<QComboBox *>(QStringLiteral("stepCB"));
    QCOMPARE(steps->count(), 19);
    QCOMPARE(steps->itemText(0), QStringLiteral("1 Hz"));
    QCOMPARE(steps->itemText(18), QStringLiteral("500 KHz"));
    auto *threshold = window.findChild<QSpinBox *>(QStringLiteral("scanLevelSB"));
    QCOMPARE(threshold->minimum(), 0);
    QCOMPARE(threshold->maximum(), 255);
    QVERIFY(window.findChild<QPushButton *>(QStringLiteral("openPB"))->isCheckable());
    QVERIFY(window.findChild<QPushButton *>(QStringLiteral("scanPB"))->isCheckable());
    // The language and help panel sits on the Settings page.
    QVERIFY(window.settingsPage()->findChild<QPushButton *>(QStringLiteral("programHelpPB")));
}

// The Greyline page asks the window for the listening location at every update: switching to
// the page shows what Settings hold now.
void TestCorvinWindow::greylinePageReadsTheListeningLocation()
{
    QSettings store;
    store.setValue(QString::fromLatin1(SettingsKeys::locationName), QStringLiteral("Roma"));
    store.setValue(QString::fromLatin1(SettingsKeys::locationLatitude), 41.9);
    store.setValue(QString::fromLatin1(SettingsKeys::locationLongitude), 12.5);
    store.sync();
    Corvin window;
    const auto *status = window.findChild<QLabel *>(QStringLiteral("greylineStatus"));
    QVERIFY(status);
    QVERIFY2(status->text().startsWith(QStringLiteral("RX Roma (41.9\u00b0, 12.5\u00b0)  |  h = ")),
             qPrintable(status->text()));
    window.settings().remove(QString::fromLatin1(SettingsKeys::locationLongitude));
    QWidget *greyline = window.findChild<QScrollArea *>(QStringLiteral("Greyline"));
    QVERIFY(greyline);
    window.mainTab()->setCurrentWidget(greyline);
    QCOMPARE(status->text(), QStringLiteral("RX not configured (Settings)"));
}

void TestCorvinWindow::restoresOutOfRangeSettings()
{
    {
        QSettings store;
        store.setValue(QString::fromLatin1(SettingsKeys::frequency), 145500000);
        store.setValue(QString::fromLatin1(SettingsKeys::modulation), 12);
        store.setValue(QString::fromLatin1(SettingsKeys::step), -3);
        store.setValue(QString::fromLatin1(SettingsKeys::scanThreshold), 40);
        store.setValue(QString::fromLatin1(SettingsKeys::standbyOnDisconnect), true);
    }
    {
        Corvin window;
        QCOMPARE(window.findChild<QComboBox *>(QStringLiteral("modulationCB"))->currentIndex(), 9);
        QCOMPARE(window.findChild<QComboBox *>(QStringLiteral("stepCB"))->currentText(),
                 QStringLiteral("1 Hz"));
        // "SerialPort" absent: the first listed port, the simulator's terminal here.
        QCOMPARE(window.findChild<QComboBox *>(QStringLiteral("serialCB"))->currentText(),
                 qEnvironmentVariable("CORVIN_SIMULATOR_PORT"));
        QCOMPARE(window.findChild<QLabel *>(QStringLiteral("frequency"))->text(),
                 QStringLiteral("145.500000"));
        QCOMPARE(window.findChild<QSpinBox *>(QStringLiteral("scanLevelSB"))->value(), 40);
        QVERIFY(window.findChild<QCheckBox *>(QStringLiteral("standbyOnDisconnect"))->isChecked());
        QVERIFY(window.findChild<QPushButton *>(QStringLiteral("openPB"))->isEnabled());
        window.findChild<QComboBox *>(QStringLiteral("stepCB"))->setCurrentIndex(12);
    }
    // Stored at shutdown: indices, the port text, the threshold.
    QSettings store;
    QCOMPARE(store.value(QString::fromLatin1(SettingsKeys::modulation)).toInt(), 9);
    QCOMPARE(store.value(QString::fromLatin1(SettingsKeys::step)).toInt(), 12);
    QCOMPARE(store.value(QString::fromLatin1(SettingsKeys::frequency)).toLongLong(), 145500000);
    QCOMPARE(store.value(QString::fromLatin1(SettingsKeys::serialPort)).toString(),
             qEnvironmentVariable("CORVIN_SIMULATOR_PORT"));
    QCOMPARE(store.value(QString::fromLatin1(SettingsKeys::scanThreshold)).toInt(), 40);
}

void TestCorvinWindow::activityRegistryDecidesIdle()
{
    Corvin window;
    QVERIFY(window.isIdle());
    bool sweeping = false;
    int refreshes = 0;
    {
        QObject owner;
        window.activities().registerActivity(Activity::RfSweep, &owner,
                                             [&sweeping] { return sweeping; });
        window.activities().registerControlUpdate(&owner, [&refreshes] { ++refreshes; });
        QVERIFY(window.isIdle());
        sweeping = true;
        QVERIFY(!window.isIdle());
        QVERIFY(window.activities().isRunning(Activity::RfSweep));
        QVERIFY(!window.activities().isOtherRunning(Activity::RfSweep));
        QVERIFY(window.activities().isOtherRunning(Activity::SmartScan));
        // An activity disables the connect button and the tuning controls.
        window.updateConnectionUi();
        QCOMPARE(refreshes, 1);
        QVERIFY(!window.findChild<QPushButton *>(QStringLiteral("openPB"))->isEnabled());
        QVERIFY(!window.findChild<QPushButton *>(QStringLiteral("fxPB"))->isEnabled());
    }
    // The owner is gone: so are its flag and its refresh.
    QVERIFY(window.isIdle());
    window.updateConnectionUi();
    QCOMPARE(refreshes, 1);
    QVERIFY(window.findChild<QPushButton *>(QStringLiteral("fxPB"))->isEnabled());
}

void TestCorvinWindow::shutdownRunsStepsInOrder()
{
    QStringList order;
    auto window = std::make_unique<Corvin>();
    auto *owner = new QObject(window.get());
    ActivityRegistry &registry = window->activities();
    const auto record = [&order](const char *name) {
        return [&order, name] { order << QString::fromLatin1(name); };
    };
    // Registered out of order, as tabs built in any order would.
    registry.registerShutdownStep(ShutdownStep::SaveFavorites, owner, record("favorites"));
    registry.registerShutdownStep(ShutdownStep::RfSweep, owner, record("rf sweep"));
    registry.registerShutdownStep(ShutdownStep::SyntheticSweep, owner, record("synthetic"));
    registry.registerShutdownStep(ShutdownStep::SmartScan, owner, record("smart scan"));
    registry.registerShutdownStep(ShutdownStep::AnomalyCapture, owner, record("anomaly"));
    registry.registerShutdownStep(ShutdownStep::BandScopeAcquisition, owner, record("scope"));
    registry.registerShutdownStep(ShutdownStep::StoreSettings, owner, record("store"));
    Corvin *closing = window.get();
    registry.registerShutdownStep(ShutdownStep::Audio, owner, [&order, closing] {
        order << QStringLiteral("audio");
        // The window's own audio step, registered first, has stopped the engine.
        QVERIFY(!closing->audioRecorder());
    });
    registry.registerShutdownStep(ShutdownStep::Disconnect, owner, [&order] {
        order << QStringLiteral("disconnect");
        // The window's own steps ran before: the panel settings are stored.
        QVERIFY(QSettings().contains(QString::fromLatin1(SettingsKeys::frequency)));
    });
    window->appendLog(QStringLiteral("closing"));
    window.reset();
    QCOMPARE(order, (QStringList{QStringLiteral("synthetic"), QStringLiteral("scope"),
                                 QStringLiteral("anomaly"), QStringLiteral("smart scan"),
                                 QStringLiteral("rf sweep"), QStringLiteral("audio"),
                                 QStringLiteral("store"), QStringLiteral("favorites"),
                                 QStringLiteral("disconnect")}));
    // The log is closed and complete.
    QFile log(qEnvironmentVariable("CORVIN_DATA_DIR") + QStringLiteral("/Corvin.log"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QVERIFY(log.readAll().trimmed().endsWith("] closing"));
}

namespace {

// Raises an engine error while the engine stops on the audio thread, as a recording that
// cannot be finalised does.
class FailingOnStop : public AudioBlockConsumer
{
public:
    AudioRecorder *recorder = nullptr;
    void processBlock(const qint16 *, int, const QAudioFormat &) override {}
    void inputStopped() override
    {
        if (recorder && recorder->thread() == QThread::currentThread())
            emit recorder->errorOccurred(QStringLiteral("Could not finalize WAV file x.wav."));
        recorder = nullptr;
    }
};

} // namespace

void TestCorvinWindow::audioErrorsAtExitReachTheLog()
{
    FailingOnStop consumer;
    auto window = std::make_unique<Corvin>();
    AudioRecorder *recorder = window->audioRecorder();
    QMetaObject::invokeMethod(
        recorder,
        [&] {
            consumer.recorder = recorder;
            recorder->setBlockConsumer(AudioRecorder::BlockStage::Anomaly, &consumer);
        },
        Qt::BlockingQueuedConnection);
    window->appendLog(QStringLiteral("closing"));
    window.reset();
    QFile log(qEnvironmentVariable("CORVIN_DATA_DIR") + QStringLiteral("/Corvin.log"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray text = log.readAll();
    QVERIFY(text.lastIndexOf("] Could not finalize WAV file x.wav.") >
            text.lastIndexOf("] closing"));
}

void TestCorvinWindow::disconnectDisarmsAnomalyCaptureFirst()
{
    Corvin window;
    int disarms = 0;
    QObject owner;
    window.activities().registerStop(Activity::AnomalyCapture, &owner, [&disarms] { ++disarms; });
    // Not connected: nothing to do, nothing disarmed.
    QVERIFY(!window.disconnectReceiver(true));
    QCOMPARE(disarms, 0);
    window.activities().stop(Activity::AnomalyCapture);
    QCOMPARE(disarms, 1);
}

// The capture panel is placed in the DSP tab's container, once, and its "Analyze last WAV"
// reaches the analyzer's file field with the first channel selected.
void TestCorvinWindow::anomalyPanelLivesInTheDspTab()
{
    Corvin window;
    AnomalyPanel *panel = window.anomalyPanel();
    QVERIFY(panel);
    QCOMPARE(panel->parentWidget()->objectName(), QStringLiteral("dspAnomalyArea"));
    QVERIFY(window.dspTab()->isAncestorOf(panel));
    QCOMPARE(window.findChildren<AnomalyPanel *>().size(), 1);

    auto *channel = window.dspTab()->findChild<QSpinBox *>(QStringLiteral("dspChannel"));
    QVERIFY(channel);
    channel->setValue(0);
    const QString wav = m_dir.filePath(QStringLiteral("event.wav"));
    emit panel->analyzeWavRequested(wav);
    QCOMPARE(window.dspTab()->findChild<QLineEdit *>(QStringLiteral("dspWavPath"))->text(),
             QDir::toNativeSeparators(wav));
    QCOMPARE(channel->value(), 1);
    QCOMPARE(window.settings().value(QString::fromLatin1(SettingsKeys::dspLastWav)).toString(),
             QDir::toNativeSeparators(wav));
}

void TestCorvinWindow::logViewKeepsLastLines()
{
    Corvin window;
    auto *view = window.findChild<QPlainTextEdit *>(QStringLiteral("logText"));
    QVERIFY(view->isReadOnly());
    for (int i = 0; i < SettingsPage::logLines + 20; ++i)
        window.appendLog(QStringLiteral("line %1").arg(i));
    QCOMPARE(view->document()->blockCount(), SettingsPage::logLines);
    QVERIFY(view->document()->lastBlock().text().endsWith(
        QStringLiteral("] line %1").arg(SettingsPage::logLines + 19)));
    window.appendLog(QStringLiteral("two\nlines"));
    QVERIFY(view->document()->lastBlock().text().endsWith(QStringLiteral("] lines")));
    window.errorOccurred(QStringLiteral("driver error"));
    QVERIFY(view->document()->lastBlock().text().endsWith(QStringLiteral("] driver error")));
}

void TestCorvinWindow::dataFolderFailureIsLogged()
{
    // The data folder is chosen once per run, so an unusable one needs a run of its own: this
    // test starts itself again with only this function.
    const QString unusable = qEnvironmentVariable("CORVIN_UNUSABLE_DATA_DIR");
    if (unusable.isEmpty()) {
        QFile blocker(m_dir.filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString folder = m_dir.filePath(QStringLiteral("blocker/data"));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("CORVIN_DATA_DIR"), folder);
        environment.insert(QStringLiteral("CORVIN_UNUSABLE_DATA_DIR"), folder);
        QProcess child;
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("dataFolderFailureIsLogged")});
        QVERIFY(child.waitForFinished(60000));
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
                 child.readAllStandardOutput().constData());
        return;
    }
    {
        Corvin window;
        auto *view = window.findChild<QPlainTextEdit *>(QStringLiteral("logText"));
        // The log could not be opened either: said on screen only.
        QVERIFY(
            view->toPlainText().contains(QStringLiteral("Could not open the persistent log: ")));
        window.findChild<QPushButton *>(QStringLiteral("openDataFolderPB"))->click();
        QVERIFY(view->document()->lastBlock().text().endsWith(
            QStringLiteral("Could not open the data folder: %1").arg(unusable)));
    }
}

QTEST_MAIN(TestCorvinWindow)
#include "tst_corvinwindow.moc"
