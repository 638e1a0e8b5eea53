// The Audio Spectrum page with a stand-in window: the waterfall settings (stored, clamped,
// cross-limited, lowered to the input's Nyquist frequency), the live FFT archive's sessions and
// failures, the snapshot files, the splitter, and the page following the spectrum on and off.

#include "fftarchive.h"
#include "spectrumtab.h"
#include "testhost.h"
#include "waterfallwidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QtTest>
#include <qwt_plot.h>
#include <qwt_scale_div.h>

namespace {

AudioRecorderState spectrumState(bool on, int rate = 48000)
{
    AudioRecorderState state;
    state.spectrumOn = on;
    state.inputRunning = on;
    if (on) {
        state.inputFormat.setSampleRate(rate);
        state.inputFormat.setChannelCount(1);
        state.inputFormat.setSampleSize(16);
        state.inputFormat.setCodec(QStringLiteral("audio/pcm"));
        state.inputFormat.setSampleType(QAudioFormat::SignedInt);
        state.inputFormat.setByteOrder(QAudioFormat::LittleEndian);
    }
    return state;
}

QVector<double> frequencies(int rate = 48000)
{
    QVector<double> result(2049);
    for (int i = 0; i < result.size(); ++i)
        result[i] = double(rate) * i / 4096;
    return result;
}

QVector<double> magnitudes(double peak = -45.678)
{
    QVector<double> result(2049, -100.0);
    result[1] = peak;
    return result;
}

QString spectrumFolder()
{
    return QDir(qEnvironmentVariable("CORVIN_DATA_DIR")).filePath(QStringLiteral("spectrum"));
}

QStringList archives()
{
    return QDir(spectrumFolder())
        .entryList({QStringLiteral("fft_*.jsonl")}, QDir::Files, QDir::Name);
}

QByteArrayList lines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArrayList result = file.readAll().split('\n');
    if (!result.isEmpty() && result.last().isEmpty())
        result.removeLast();
    return result;
}

} // namespace

class TestSpectrumTab : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void storedSettingsAreRead();
    void spinBoxesCrossLimit();
    void rangeFollowsTheInput();
    void archiveSessions();
    void archiveFailureSuspendsArchiving();
    void snapshotFiles();
    void splitterAndHeight();
    void spectrumOffBlanksThePage();

private:
    std::unique_ptr<TestHost> m_host;
    std::unique_ptr<SpectrumTab> m_tab;
};

void TestSpectrumTab::init()
{
    QDir(spectrumFolder()).removeRecursively();
    QFile::remove(spectrumFolder());
    m_host = std::make_unique<TestHost>();
}

void TestSpectrumTab::cleanup()
{
    m_tab.reset();
    m_host.reset();
}

void TestSpectrumTab::storedSettingsAreRead()
{
    QSettings &settings = m_host->settings();
    settings.setValue("Waterfall/waterfallLowHz", 300);
    settings.setValue("Waterfall/waterfallHighHz", 3000);
    settings.setValue("Waterfall/waterfallSeconds", 60);
    settings.setValue("Waterfall/waterfallRate", 4);
    settings.setValue("Waterfall/Palette", 9);
    settings.setValue("Waterfall/Enabled", false);
    m_tab = std::make_unique<SpectrumTab>(*m_host);
    m_tab->start();
    WaterfallSettings *panel = m_tab->settingsPanel();
    QCOMPARE(panel->objectName(), QStringLiteral("waterfallPanel"));
    QCOMPARE(panel->findChild<QLabel *>("waterfallTitle")->text(),
             QStringLiteral("Audio waterfall"));
    QCOMPARE(panel->palette(), 4); // clamped to the last palette, "Inferno"
    QCOMPARE(panel->paletteBox()->currentText(), QStringLiteral("Inferno"));
    QVERIFY(!panel->waterfallEnabled());
    QVERIFY(panel->archiveEnabled());
    const WaterfallWidget *w = m_tab->waterfall();
    QCOMPARE(w->low(), 300.0);
    QCOMPARE(w->high(), 3000.0);
    QCOMPARE(w->image().height(), 240);
    QCOMPARE(w->palette(), 4);
    QVERIFY(w->isHidden());
    QCOMPARE(m_tab->plot()->axisScaleDiv(QwtPlot::xBottom).upperBound(), 3000.0);
    QCOMPARE(m_tab->plot()->axisScaleDiv(QwtPlot::yLeft).lowerBound(), -100.0);
}

void TestSpectrumTab::spinBoxesCrossLimit()
{
    m_tab = std::make_unique<SpectrumTab>(*m_host);
    m_tab->start();
    WaterfallSettings *panel = m_tab->settingsPanel();
    panel->highHzBox()->setValue(2000);
    QCOMPARE(panel->lowHzBox()->maximum(), 1999);
    panel->lowHzBox()->setValue(3000); // low stays below high
    QCOMPARE(panel->lowHz(), 1999);
    QCOMPARE(panel->highHzBox()->minimum(), 2000);
    panel->ceilingBox()->setValue(-50);
    panel->floorBox()->setValue(-40);
    QCOMPARE(panel->floorDb(), -51);
    QCOMPARE(m_tab->waterfall()->floor(), -51);
    QCOMPARE(m_tab->waterfall()->high(), 2000.0);
    // Every change is stored at once.
    QCOMPARE(m_host->settings().value("Waterfall/waterfallHighHz").toInt(), 2000);
    QCOMPARE(m_host->settings().value("Waterfall/waterfallLowDb").toInt(), -51);
    panel->paletteBox()->setCurrentIndex(3);
    QCOMPARE(m_host->settings().value("Waterfall/Palette").toInt(), 3);
    QCOMPARE(m_tab->waterfall()->palette(), 3);
}

void TestSpectrumTab::rangeFollowsTheInput()
{
    m_host->settings().setValue("Waterfall/waterfallHighHz", 48000);
    m_tab = std::make_unique<SpectrumTab>(*m_host);
    m_tab->start();
    QCOMPARE(m_tab->waterfall()->high(), 48000.0);
    m_tab->followAudioState(spectrumState(true, 44100));
    QCOMPARE(m_tab->nyquist(), 22050.0);
    QCOMPARE(m_tab->waterfall()->high(), 22050.0);
    QCOMPARE(m_tab->plot()->axisScaleDiv(QwtPlot::xBottom).upperBound(), 22050.0);
    QVERIFY(m_tab->waterfall()->isRunning());
    // The Nyquist frequency stays known after the spectrum goes off.
    m_tab->followAudioState(spectrumState(false));
    QCOMPARE(m_tab->waterfall()->high(), 22050.0);
    QVERIFY(!m_tab->waterfall()->isRunning());
    // A stored low above the Nyquist frequency gives a range ending there.
    m_tab->settingsPanel()->lowHzBox()->setValue(30000);
    QCOMPARE(m_tab->waterfall()->low(), 22049.0);
}

void TestSpectrumTab::archiveSessions()
{
    m_tab = std::make_unique<SpectrumTab>(*m_host);
    m_tab->start();
    m_tab->followAudioState(spectrumState(true));
    for (int i = 0; i < 3; ++i)
        m_tab->showSpectrum(frequencies(), magnitudes());
    QCOMPARE(archives().size(), 1);
    QVERIFY(m_host->logContains(QStringLiteral("Live FFT archive: ")));
    QVERIFY(QRegularExpression(QStringLiteral("^fft_\\d{8}_\\d{6}_\\d{3}_\\d+\\.jsonl$"))
                .match(archives().first())
                .hasMatch());

    // Off: the archive is finished; on again: a second file.
    m_tab->followAudioState(spectrumState(false));
    QVERIFY(m_host->logContains(QStringLiteral("Live FFT archive closed (3 frames).")));
    const QByteArrayList first = lines(QDir(spectrumFolder()).filePath(archives().first()));
    QCOMPARE(first.size(), 5);
    QVERIFY(first.first().contains("\"type\":\"fft_start\""));
    QVERIFY(first[1].contains("\"receiver_hz\":145500000"));
    QVERIFY(first.last().startsWith("{\"frames\":3,\"type\":\"fft_end\","));
    QTest::qWait(3); // a new run stamp
    m_tab->followAudioState(spectrumState(true));
    m_tab->showSpectrum(frequencies(), magnitudes());
    QCOMPARE(archives().size(), 2);

    // Toggling the option closes the current archive with its end record.
    m_tab->settingsPanel()->archiveBox()->setChecked(false);
    QVERIFY(m_host->logContains(QStringLiteral("Live FFT archive closed (1 frames).")));
    QVERIFY(!m_tab->archive().isOpen());
    m_tab->showSpectrum(frequencies(), magnitudes());
    QCOMPARE(archives().size(), 2);
    QCOMPARE(m_host->settings().value("Waterfall/ArchiveLiveFft").toBool(), false);

    // What was stored reads back: -45.678 dBFS is -4568.
    QFile file(QDir(spectrumFolder()).filePath(archives().last()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    FftArchive::Reader reader(file);
    QCOMPARE(reader.next(), FftArchive::Reader::Record::Start);
    QCOMPARE(reader.binWidthHz(), 11.71875);
    QCOMPARE(reader.next(), FftArchive::Reader::Record::Frame);
    QCOMPARE(reader.values()[1], qint16(-4568));
    QCOMPARE(reader.next(), FftArchive::Reader::Record::End);
}

void TestSpectrumTab::archiveFailureSuspendsArchiving()
{
    // A file where the folder should be: the archive cannot be created.
    QDir().mkpath(qEnvironmentVariable("CORVIN_DATA_DIR"));
    QFile blocker(spectrumFolder());
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    m_tab = std::make_unique<SpectrumTab>(*m_host);
    m_tab->start();
    m_tab->followAudioState(spectrumState(true));
    m_tab->showSpectrum(frequencies(), magnitudes());
    m_tab->showSpectrum(frequencies(), magnitudes());
    QCOMPARE(m_host->logCount(QStringLiteral("Could not save live FFT data: ")), 1);
    QVERIFY(m_tab->archive().failed());
    // The display goes on.
    QVERIFY(m_tab->findChild<QPushButton *>("saveSpectrumPB")->isEnabled());
    // Switching the spectrum off clears the flag; the next session tries again.
    m_tab->followAudioState(spectrumState(false));
    QVERIFY(!m_tab->archive().failed());
    m_tab->followAudioState(spectrumState(true));
    m_tab->showSpectrum(frequencies(), magnitudes());
    QCOMPARE(m_host->logCount(QStringLiteral("Could not save live FFT data: ")), 2);
    // So does toggling the option.
    m_tab->settingsPanel()->archiveBox()->setChecked(false);
    QVERIFY(!m_tab->archive().failed());
}

void TestSpectrumTab::snapshotFiles()
{
    m_host->settings().setValue("Waterfall/ArchiveLiveFft", false);
    m_tab = std::make_unique<SpectrumTab>(*m_host);
    m_tab->start();
    auto *save = m_tab->findChild<QPushButton *>("saveSpectrumPB");
    QVERIFY(!save->isEnabled());
    m_tab->saveSpectrumSnapshot(); // nothing received yet: nothing written
    QVERIFY(!QDir(spectrumFolder()).exists());

    m_tab->followAudioState(spectrumState(true));
    m_tab->showSpectrum(frequencies(), magnitudes());
    QVERIFY(save->isEnabled());
    m_tab->resize(900, 600);
    save->click();
    const QStringList csv = QDir(spectrumFolder()).entryList({"spectrum_*.csv"});
    const QStringList png = QDir(spectrumFolder()).entryList({"spectrum_*.png"});
    QCOMPARE(csv.size(), 1);
    QCOMPARE(png.size(), 1);
    QCOMPARE(QFileInfo(csv.first()).completeBaseName(), QFileInfo(png.first()).completeBaseName());
    const QByteArrayList text = lines(QDir(spectrumFolder()).filePath(csv.first()));
    QCOMPARE(text.size(), 2050);
    QCOMPARE(text[0], QByteArray("frequency_hz,level_dbfs"));
    QCOMPARE(text[1], QByteArray("0,-100"));
    QCOMPARE(text[2], QByteArray("11.7188,-45.678"));
    QCOMPARE(text[2049], QByteArray("24000,-100"));
    QVERIFY(m_host->logContains(QStringLiteral("Spectrum saved: ")));
    QVERIFY(m_host->logContains(QStringLiteral("Waterfall saved: ")));
    const QImage image(QDir(spectrumFolder()).filePath(png.first()));
    QCOMPARE(image.size(), m_tab->waterfall()->size());
    QVERIFY(QDir(spectrumFolder()).entryList({"*.jsonl"}).isEmpty());

    // Without the waterfall only the CSV is written.
    m_tab->settingsPanel()->enabledBox()->setChecked(false);
    QTest::qWait(3);
    save->click();
    QCOMPARE(QDir(spectrumFolder()).entryList({"spectrum_*.csv"}).size(), 2);
    QCOMPARE(QDir(spectrumFolder()).entryList({"spectrum_*.png"}).size(), 1);
}

void TestSpectrumTab::splitterAndHeight()
{
    m_host->settings().setValue("Waterfall/waterfallHeight", 30);
    m_tab = std::make_unique<SpectrumTab>(*m_host);
    m_tab->start();
    m_tab->resize(800, 900);
    m_tab->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_tab.get()));
    auto *splitter = m_tab->findChild<QSplitter *>("spectrumSplitter");
    m_tab->applyWaterfallHeight();
    QList<int> sizes = splitter->sizes();
    QVERIFY2(qAbs(100.0 * sizes[1] / (sizes[0] + sizes[1]) - 30.0) < 1.5,
             qPrintable(QStringLiteral("%1 %2").arg(sizes[0]).arg(sizes[1])));
    // Moving the handle by hand sets the height without applying it again.
    const int total = sizes[0] + sizes[1];
    splitter->setSizes({total / 2, total - total / 2});
    emit splitter->splitterMoved(total / 2, 1);
    QCOMPARE(m_tab->settingsPanel()->heightPercent(), 50);
    QCOMPARE(m_host->settings().value("Waterfall/waterfallHeight").toInt(), 50);
}

void TestSpectrumTab::spectrumOffBlanksThePage()
{
    m_tab = std::make_unique<SpectrumTab>(*m_host);
    m_tab->start();
    m_tab->show();
    auto *status = m_tab->findChild<QLabel *>("spectrumStatus");
    QCOMPARE(status->text(),
             QStringLiteral("Enable Audio spectrum to display the selected input."));
    m_tab->showSpectrum(frequencies(), magnitudes()); // ignored while the spectrum is off
    QVERIFY(!m_tab->findChild<QPushButton *>("saveSpectrumPB")->isEnabled());
    m_tab->followAudioState(spectrumState(true));
    QCOMPARE(status->text(), QStringLiteral("Waiting for audio samples..."));
    m_tab->showSpectrum(frequencies(), magnitudes());
    QVERIFY(status->isHidden());
    QVERIFY(m_tab->waterfall()->isFresh());
    m_tab->followAudioState(spectrumState(false));
    QVERIFY(status->isVisible());
    QCOMPARE(status->text(),
             QStringLiteral("Enable Audio spectrum to display the selected input."));
    QVERIFY(!m_tab->waterfall()->isFresh());
}

QTEST_MAIN(TestSpectrumTab)
#include "tst_spectrumtab.moc"
