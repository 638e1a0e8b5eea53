#include "spectrumtab.h"

#include "activityregistry.h"
#include "corvinhost.h"
#include "datafolders.h"
#include "receivercontrol.h"
#include "runstamp.h"
#include "spectrumsnapshot.h"
#include "stickplot.h"
#include "waterfallsettings.h"
#include "waterfallwidget.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QSettings>
#include <QSplitter>
#include <QVBoxLayout>
#include <qwt_plot.h>
#include <qwt_plot_grid.h>

#include <cmath>

SpectrumTab::SpectrumTab(CorvinHost &host, QWidget *parent)
    : QWidget(parent)
    , m_host(host)
    , m_settings(new WaterfallSettings(this))
{
    setObjectName(QStringLiteral("spectrumTab"));
    buildUi();
    connectSettings();
}

SpectrumTab::~SpectrumTab()
{
    // The settings group lives on the Settings page; it goes with the tab that applies it.
    delete m_settings.data();
}

void SpectrumTab::buildUi()
{
    m_status = new QLabel(tr("Enable Audio spectrum to display the selected input."), this);
    m_status->setObjectName(QStringLiteral("spectrumStatus"));

    m_plot = new QwtPlot(this);
    m_plot->setObjectName(QStringLiteral("plot"));
    m_plot->setMinimumHeight(150);
    m_stickPlot = new StickPlot(m_plot, this);
    m_plot->setCanvasBackground(QColor(QStringLiteral("#101922")));
    m_stickPlot->grid()->setPen(QColor(QStringLiteral("#2c3d4c")), 1.0, Qt::DotLine);
    m_stickPlot->setLineMode(true);
    m_stickPlot->setLineColor(QColor(QStringLiteral("#66ddcf")));
    m_stickPlot->setAxisTitles(tr("Frequency (Hz)"), tr("Amplitude (dBFS)"));
    m_plot->setAxisScale(QwtPlot::yLeft, -100.0, 0.0);
    m_plot->setAxisScale(QwtPlot::xBottom, 0.0, 10000.0);

    m_waterfall = new WaterfallWidget(this);
    m_waterfall->setObjectName(QStringLiteral("waterfall"));
    m_waterfall->setAlignmentTarget(m_plot->canvas());

    m_splitter = new QSplitter(Qt::Vertical, this);
    m_splitter->setObjectName(QStringLiteral("spectrumSplitter"));
    m_splitter->setChildrenCollapsible(false);
    m_splitter->addWidget(m_plot);
    m_splitter->addWidget(m_waterfall);

    m_saveButton = new QPushButton(tr("Save spectrum snapshot"), this);
    m_saveButton->setObjectName(QStringLiteral("saveSpectrumPB"));
    m_saveButton->setToolTip(tr("Save the current FFT as CSV and the visible waterfall as PNG."));
    m_saveButton->setEnabled(false);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_status);
    layout->addWidget(m_splitter, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_saveButton);
    layout->addLayout(buttons);
    setMinimumHeight(420);
}

void SpectrumTab::connectSettings()
{
    connect(m_settings, &WaterfallSettings::displayChanged, this,
            [this] { applyWaterfallSettings(true); });
    connect(m_settings, &WaterfallSettings::enabledToggled, this, [this] {
        applyWaterfallSettings(true);
        applyWaterfallHeight();
    });
    connect(m_settings, &WaterfallSettings::heightChanged, this, [this] {
        applyWaterfallHeight();
        storeSettings();
    });
    connect(m_settings, &WaterfallSettings::archiveToggled, this, [this] {
        closeFftArchive();
        m_archive.clearFailed();
        storeSettings();
    });
    connect(m_splitter, &QSplitter::splitterMoved, this, &SpectrumTab::onSplitterMoved);
    connect(m_saveButton, &QPushButton::clicked, this, &SpectrumTab::saveSpectrumSnapshot);
}

void SpectrumTab::start()
{
    m_settings->load(m_host.settings());
    applyWaterfallSettings();
    applyWaterfallHeight();
    if (AudioRecorder *recorder = m_host.audioRecorder()) {
        connect(recorder, &AudioRecorder::spectrumReady, this, &SpectrumTab::showSpectrum,
                Qt::QueuedConnection);
    }
    ActivityRegistry &activities = m_host.activities();
    activities.registerShutdownStep(ShutdownStep::Audio, this, [this] { closeFftArchive(); });
    activities.registerShutdownStep(ShutdownStep::StoreSettings, this,
                                    [this] { m_settings->store(m_host.settings()); });
}

void SpectrumTab::storeSettings()
{
    m_settings->store(m_host.settings());
}

void SpectrumTab::followAudioState(const AudioRecorderState &state)
{
    const double previousNyquist = m_nyquist;
    m_spectrumOn = state.spectrumOn;
    if (m_spectrumOn) {
        if (m_status->isVisible())
            m_status->setText(tr("Waiting for audio samples..."));
        if (state.inputFormat.isValid())
            m_nyquist = state.inputFormat.sampleRate() / 2.0;
    } else {
        closeFftArchive();
        m_archive.clearFailed();
        m_frequencies.clear();
        m_magnitudes.clear();
        m_stickPlot->setData(nullptr, nullptr, 0);
        m_status->setText(tr("Enable Audio spectrum to display the selected input."));
        m_status->show();
    }
    if (m_nyquist != previousNyquist)
        applyWaterfallSettings();
    updateRowTimer();
}

void SpectrumTab::updateRowTimer()
{
    if (m_spectrumOn && m_settings->waterfallEnabled())
        m_waterfall->start();
    else
        m_waterfall->stop();
}

void SpectrumTab::showSpectrum(const QVector<double> &frequencies,
                               const QVector<double> &magnitudes)
{
    if (!m_spectrumOn)
        return;
    m_frequencies = frequencies;
    m_magnitudes = magnitudes;
    m_stickPlot->setData(frequencies.constData(), magnitudes.constData(),
                         std::min(frequencies.size(), magnitudes.size()));
    if (frequencies.size() >= 2 && frequencies.size() == magnitudes.size() &&
        frequencies[1] > 0.0) {
        m_waterfall->setSpectrum(magnitudes, frequencies[1]);
    }
    appendFftFrame(frequencies, magnitudes);
    m_saveButton->setEnabled(true);
    m_status->hide();
}

void SpectrumTab::applyWaterfallSettings(bool fromControl)
{
    m_settings->crossLimitRanges();
    double high = m_settings->highHz();
    if (m_nyquist > 0.0 && m_nyquist < high)
        high = m_nyquist;
    const double low = std::min<double>(m_settings->lowHz(), high - 1.0);
    const int floor = m_settings->floorDb();
    const int ceiling = m_settings->ceilingDb();
    const int seconds = m_settings->historySeconds();
    const int rate = m_settings->rowsPerSecond();
    const int palette = m_settings->palette();
    WaterfallWidget *w = m_waterfall;
    if (low != w->low() || high != w->high() || floor != w->floor() || ceiling != w->ceiling() ||
        seconds != w->seconds() || rate != w->rate() || palette != w->palette()) {
        w->configure(low, high, floor, ceiling, seconds, rate, palette);
    }
    m_plot->setAxisScale(QwtPlot::xBottom, low, high);
    m_plot->replot();
    m_waterfall->setVisible(m_settings->waterfallEnabled());
    updateRowTimer();
    if (fromControl)
        storeSettings();
}

void SpectrumTab::applyWaterfallHeight()
{
    if (!m_settings->waterfallEnabled())
        return;
    const int height = m_settings->heightPercent();
    m_splitter->setSizes({1000 - 10 * height, 10 * height});
}

void SpectrumTab::onSplitterMoved()
{
    if (!m_settings->waterfallEnabled())
        return;
    const QList<int> sizes = m_splitter->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    if (total <= 0)
        return;
    m_settings->setHeightPercent(static_cast<int>(std::lround(100.0 * sizes.value(1) / total)));
    storeSettings();
}

void SpectrumTab::appendFftFrame(const QVector<double> &frequencies,
                                 const QVector<double> &magnitudes)
{
    if (!m_settings->archiveEnabled() || m_archive.failed() || frequencies.size() < 2 ||
        frequencies.size() != magnitudes.size()) {
        return;
    }
    QString error;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    if (!m_archive.isOpen()) {
        // A folder that cannot be made shows up as the file's open error.
        DataFolders::ensure(QString::fromLatin1(DataFolders::spectrum));
        const QString path = DataFolders::path(QString::fromLatin1(DataFolders::spectrum)) +
                             QStringLiteral("/fft_%1.jsonl").arg(RunStamp::now());
        if (!m_archive.open(path, frequencies.size(), frequencies[0],
                            frequencies[1] - frequencies[0], now, &error)) {
            m_host.appendLog(tr("Could not save live FFT data: %1").arg(error));
            return;
        }
        m_host.appendLog(tr("Live FFT archive: %1").arg(QDir::toNativeSeparators(path)));
    }
    if (!m_archive.append(magnitudes, m_host.receiverControl().currentFrequency(), now, &error))
        m_host.appendLog(tr("Could not save live FFT data: %1").arg(error));
}

void SpectrumTab::closeFftArchive()
{
    if (!m_archive.isOpen())
        return;
    const qint64 frames = m_archive.frames();
    QString error;
    if (m_archive.close(QDateTime::currentDateTimeUtc(), &error))
        m_host.appendLog(tr("Live FFT archive closed (%1 frames).").arg(frames));
    else
        m_host.appendLog(tr("Could not finish the live FFT archive: %1").arg(error));
}

void SpectrumTab::saveSpectrumSnapshot()
{
    if (m_frequencies.isEmpty())
        return;
    const QString stamp = RunStamp::now();
    DataFolders::ensure(QString::fromLatin1(DataFolders::spectrum));
    const QString base = DataFolders::path(QString::fromLatin1(DataFolders::spectrum)) +
                         QStringLiteral("/spectrum_") + stamp;
    const QString csvPath = base + QStringLiteral(".csv");
    QString error;
    switch (SpectrumSnapshot::writeCsv(csvPath, m_frequencies, m_magnitudes, &error)) {
    case SpectrumSnapshot::Result::OpenFailed:
        m_host.appendLog(tr("Could not write the spectrum snapshot: %1").arg(error));
        break;
    case SpectrumSnapshot::Result::WriteFailed:
        m_host.appendLog(tr("Could not finish the spectrum snapshot: %1").arg(error));
        break;
    case SpectrumSnapshot::Result::Saved:
        m_host.appendLog(tr("Spectrum saved: %1").arg(QDir::toNativeSeparators(csvPath)));
        break;
    }
    if (!m_settings->waterfallEnabled())
        return;
    const QString pngPath = base + QStringLiteral(".png");
    QSaveFile png(pngPath);
    const bool saved =
        png.open(QIODevice::WriteOnly) && m_waterfall->grab().save(&png, "PNG") && png.commit();
    if (saved)
        m_host.appendLog(tr("Waterfall saved: %1").arg(QDir::toNativeSeparators(pngPath)));
    else
        m_host.appendLog(tr("Could not save the waterfall image: %1").arg(pngPath));
}
