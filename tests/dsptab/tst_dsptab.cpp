#include "datafolders.h"
#include "dspinteractiveviews.h"
#include "dsptab.h"
#include "eventstable.h"
#include "levelview.h"
#include "settingskeys.h"
#include "spectrogramview.h"
#include "spectrumview.h"
#include "syntheticresult.h"
#include "testhost.h"
#include "testsignals.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>
#include <qwt_plot_canvas.h>

#include <memory>

namespace {

template <typename T> T *child(QWidget *parent, const char *name)
{
    T *widget = parent->findChild<T *>(QLatin1String(name));
    if (!widget)
        qFatal("missing %s", name);
    return widget;
}

// Files and folders in the program's DSP report folder.
QStringList reportEntries()
{
    return QDir(DataFolders::path(QLatin1String(DataFolders::dsp)))
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// A result with isolated pulses at 0.5, 1.0, ... s (2 s long, 80-6000 Hz) whose frequencies
// run 1000, 2000, 1500, 500.
std::shared_ptr<const NativeWav::Result> smallResult()
{
    NativeWav::Result result = SyntheticResult::make(2.0);
    result.events = {SyntheticResult::pulse(0.5, 1000), SyntheticResult::pulse(1.0, 2000),
                     SyntheticResult::pulse(1.5, 1500), SyntheticResult::pulse(1.9, 500)};
    return std::make_shared<const NativeWav::Result>(std::move(result));
}

} // namespace

// The DSP tab on the offscreen platform, with real analyses of short generated recordings.
class TestDspTab : public QObject
{
    Q_OBJECT

public slots:
    // Stands in for the desktop's handler of file URLs.
    void openUrl(const QUrl &url) { m_opened.append(url.toLocalFile()); }

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void analysisFromStartToResult();
    void lowEqualToHighIsRefused();
    void cancelKeepsTheHeldResult();
    void closingDuringAJobLeavesNoWorkFolder();
    void tableLimitAndBandFilter();
    void doubleClickLocatesAfterSorting();
    void ctrlClickPicksABandOnlyWhenIdle();
    void keyboardAndExports();
    void handOffAndHelp();
    void italianCaptions();

private:
    DspTab *makeTab();
    void waitForFinish();

    QTemporaryDir m_dir;
    QString m_shortWav;
    QString m_longWav;
    QStringList m_opened;
    std::unique_ptr<TestHost> m_host;
    std::unique_ptr<DspTab> m_tab;
};

void TestDspTab::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QDesktopServices::setUrlHandler("file", this, "openUrl");
    m_shortWav = m_dir.filePath("short.wav");
    QVERIFY(TestSignals::writePulsedWav(m_shortWav, 8000, 3.0, 0.5));
    // Long enough that Cancel and closing always come before the end.
    m_longWav = m_dir.filePath("long.wav");
    QVERIFY(TestSignals::writePulsedWav(m_longWav, 16000, 300.0, 1.0));
}

void TestDspTab::init()
{
    QDir(DataFolders::path(QLatin1String(DataFolders::dsp))).removeRecursively();
    m_opened.clear();
    m_host = std::make_unique<TestHost>();
}

void TestDspTab::cleanup()
{
    m_tab.reset();
    m_host.reset();
}

DspTab *TestDspTab::makeTab()
{
    m_tab = std::make_unique<DspTab>(*m_host);
    m_tab->resize(1100, 1000);
    m_tab->show();
    return m_tab.get();
}

void TestDspTab::waitForFinish()
{
    QTRY_VERIFY_WITH_TIMEOUT(!m_tab->isRunning(), 120000);
}

void TestDspTab::analysisFromStartToResult()
{
    DspTab *tab = makeTab();
    auto *analyze = child<QPushButton>(tab, "dspAnalyzePB");
    auto *cancel = child<QPushButton>(tab, "dspCancelPB");
    auto *openReport = child<QPushButton>(tab, "dspOpenReportPB");
    auto *tabs = child<QTabWidget>(tab, "dspInteractiveTabs");
    auto *console = child<QPlainTextEdit>(tab, "dspConsole");
    // Idle without a file: nothing to start, nothing to show.
    QVERIFY(!analyze->isEnabled());
    QVERIFY(!cancel->isEnabled());
    QVERIFY(!openReport->isEnabled());
    QVERIFY(!tabs->isEnabled());
    QVERIFY(!child<QSpinBox>(tab, "dspBandLowHz")->isEnabled());
    tab->startDspAnalysis();
    QVERIFY(!tab->isRunning());

    tab->setWavFile(m_shortWav, false);
    QVERIFY(analyze->isEnabled());
    child<QSpinBox>(tab, "dspHighHz")->setValue(3000);
    analyze->click();
    // Running: the parameters are locked, only Cancel works.
    QVERIFY(tab->isRunning());
    QVERIFY(!child<QFrame>(tab, "dspPanel")->isEnabled());
    QVERIFY(!analyze->isEnabled());
    QVERIFY(cancel->isEnabled());
    QVERIFY(!openReport->isEnabled());
    QVERIFY(reportEntries().first().startsWith(".analysis-"));
    waitForFinish();

    // Idle with a result.
    QVERIFY(tab->hasResult());
    QVERIFY(tabs->isEnabled());
    QVERIFY(openReport->isEnabled());
    QVERIFY(!cancel->isEnabled());
    QVERIFY(child<QPushButton>(tab, "dspAnalyzeBandPB")->isEnabled());
    QCOMPARE(child<QProgressBar>(tab, "dspProgress")->value(), 100);
    const QStringList entries = reportEntries();
    QCOMPARE(entries.size(), 1);
    QVERIFY(entries.first().startsWith("report_"));
    const QString folder = DataFolders::path("dsp/" + entries.first());
    QCOMPARE(tab->lastReportFolder(), folder);
    QSettings &settings = m_host->settings();
    QCOMPARE(settings.value(SettingsKeys::dspLastReport).toString(), folder);
    QCOMPARE(settings.value(SettingsKeys::dspHighHz).toInt(), 3000);
    const QString text = console->toPlainText();
    for (const QString &line : {QString("Analyzing WAV: " + m_shortWav),
                                QString("Audio levels completed. Discovering spectral bands..."),
                                QString("Analyzing pulse envelopes and periodicity..."),
                                QString("Writing HTML, SVG/PNG, CSV, JSON and filtered WAV..."),
                                QString("Native DSP report saved: " + folder)})
        QVERIFY2(text.contains(line), qPrintable(line));
    QVERIFY(QRegularExpression("\\d+ period\\(s\\) and \\d+ event\\(s\\), channel 1\\.")
                .match(text)
                .hasMatch());
    QVERIFY(m_host->logContains("Native DSP analyzing WAV: " + m_shortWav));
    QVERIFY(m_host->logContains("Native DSP report saved: " + folder));
    QVERIFY(tab->views()->events()->rowCount() > 0);

    openReport->click();
    child<QPushButton>(tab, "dspOpenFolderPB")->click();
    QCOMPARE(m_opened, QStringList({folder + "/report.html", folder}));
}

void TestDspTab::lowEqualToHighIsRefused()
{
    DspTab *tab = makeTab();
    tab->setWavFile(m_shortWav, false);
    child<QSpinBox>(tab, "dspLowHz")->setValue(6000);
    child<QSpinBox>(tab, "dspHighHz")->setValue(6000);
    child<QPushButton>(tab, "dspAnalyzePB")->click();
    QVERIFY(!tab->isRunning());
    QCOMPARE(child<QPlainTextEdit>(tab, "dspConsole")->toPlainText(),
             QString("Choose a high frequency greater than the low frequency."));
    QCOMPARE(reportEntries(), QStringList());
}

void TestDspTab::cancelKeepsTheHeldResult()
{
    DspTab *tab = makeTab();
    tab->setWavFile(m_shortWav, false);
    tab->startDspAnalysis();
    waitForFinish();
    const auto held = tab->views()->result();
    const QString report = tab->lastReportFolder();
    QVERIFY(held);

    tab->setWavFile(m_longWav, false);
    tab->startDspAnalysis();
    QVERIFY(tab->isRunning());
    child<QPushButton>(tab, "dspCancelPB")->click();
    QVERIFY(!child<QPushButton>(tab, "dspCancelPB")->isEnabled());
    waitForFinish();
    QCOMPARE(child<QProgressBar>(tab, "dspProgress")->value(), 0);
    QVERIFY(child<QPlainTextEdit>(tab, "dspConsole")
                ->toPlainText()
                .endsWith("DSP analysis cancelled."));
    QVERIFY(m_host->logContains("DSP analysis cancelled."));
    QCOMPARE(tab->views()->result(), held);
    QCOMPARE(tab->lastReportFolder(), report);
    QCOMPARE(reportEntries(), QStringList({QFileInfo(report).fileName()}));
}

void TestDspTab::closingDuringAJobLeavesNoWorkFolder()
{
    DspTab *tab = makeTab();
    tab->setWavFile(m_longWav, false);
    tab->startDspAnalysis();
    QVERIFY(tab->isRunning());
    QCOMPARE(reportEntries().size(), 1);
    // The window runs the shutdown steps, then deletes its features.
    m_host->activities().runShutdown();
    QCOMPARE(reportEntries(), QStringList());
    m_tab.reset();
    QCOMPARE(reportEntries(), QStringList());
}

void TestDspTab::tableLimitAndBandFilter()
{
    DspTab *tab = makeTab();
    NativeWav::Result result = SyntheticResult::make(600.0);
    SyntheticResult::addIsolated(result, 12000, {899.9, 900.0, 1000.0, 1100.0, 1100.1, 2000.0});
    DspInteractiveViews *views = tab->views();
    views->populateInteractiveViews(std::make_shared<const NativeWav::Result>(std::move(result)));
    EventsTable *table = views->events();
    auto *hint = child<QLabel>(tab, "dspEventHint");
    QCOMPARE(table->rowCount(), 5000);
    QCOMPARE(hint->text(), QString("5000 event(s) shown (table limited to 5,000 rows; CSV "
                                   "contains all events). Double-click a row to locate it on "
                                   "the spectrogram."));
    QCOMPARE(table->item(0, 0)->text(), QString("0.0250"));

    child<QSpinBox>(tab, "dspBandLowHz")->setValue(900);
    child<QSpinBox>(tab, "dspBandHighHz")->setValue(1100);
    child<QCheckBox>(tab, "dspOnlyBandCB")->setChecked(true);
    QCOMPARE(table->rowCount(), 5000); // 6000 pulses at 900, 1000 and 1100 Hz
    QVERIFY(hint->text().startsWith("5000 event(s) shown (table limited"));
    child<QSpinBox>(tab, "dspBandLowHz")->setValue(1000);
    QCOMPARE(table->rowCount(), 4000);
    QCOMPARE(hint->text(), QString("4000 event(s) shown. Double-click a row to locate it on the "
                                   "spectrogram."));
    for (int row = 0; row < table->rowCount(); ++row) {
        const double f = table->item(row, 2)->text().toDouble();
        QVERIFY2(f >= 1000.0 && f <= 1100.0, qPrintable(QString::number(f)));
    }
    child<QCheckBox>(tab, "dspOnlyBandCB")->setChecked(false);
    QCOMPARE(table->rowCount(), 5000);
}

void TestDspTab::doubleClickLocatesAfterSorting()
{
    DspTab *tab = makeTab();
    DspInteractiveViews *views = tab->views();
    views->populateInteractiveViews(smallResult());
    EventsTable *table = views->events();
    QCOMPARE(table->item(0, 1)->text(), QString("Isolated"));
    table->sortItems(2, Qt::DescendingOrder); // by frequency, highest first
    QCOMPARE(table->item(0, 2)->text(), QString("2000.0"));

    auto *tabs = child<QTabWidget>(tab, "dspInteractiveTabs");
    tabs->setCurrentIndex(3);
    QTRY_VERIFY(table->viewport()->isVisible());
    const QRect cell = table->visualItemRect(table->item(0, 3));
    // A real double click starts with a click.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    QCOMPARE(tabs->currentIndex(), 0);
    SpectrogramView *spectrogram = views->spectrogram();
    QVERIFY(spectrogram->isMarkerShown());
    QCOMPARE(spectrogram->markerPosition(), QPointF(1.0, 2000.0));
    QCOMPARE(child<QLabel>(tab, "dspInteractiveInfo")->text(),
             QString("Event at 1.0000 s | 2000.0 Hz | width 12.50 ms | peak -30.0 dBFS | 20.0 dB "
                     "above background"));
    // 3 % of 2 s is less than 0.4 s: a 0.4 s window around the pulse.
    const QRectF view = spectrogram->currentView();
    QCOMPARE(view.left(), 0.8);
    QCOMPARE(view.width(), 0.4);
    QCOMPARE(view.top(), 2000.0 - 444.0);
    QCOMPARE(view.height(), 888.0);

    // A single click shows the details only; Enter locates like a double click.
    tab->views()->resetDspZoom();
    tabs->setCurrentIndex(3);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier,
                      table->visualItemRect(table->item(3, 0)).center());
    QCOMPARE(spectrogram->markerPosition(), QPointF(1.9, 500.0));
    QCOMPARE(tabs->currentIndex(), 3);
    QCOMPARE(spectrogram->currentView().width(), 2.0);
    table->setCurrentCell(3, 0);
    QTest::keyClick(table, Qt::Key_Return);
    QCOMPARE(tabs->currentIndex(), 0);
    QCOMPARE(spectrogram->currentView().left(), 1.6);
}

void TestDspTab::ctrlClickPicksABandOnlyWhenIdle()
{
    DspTab *tab = makeTab();
    tab->views()->populateInteractiveViews(smallResult());
    auto *tabs = child<QTabWidget>(tab, "dspInteractiveTabs");
    auto *low = child<QSpinBox>(tab, "dspBandLowHz");
    auto *high = child<QSpinBox>(tab, "dspBandHighHz");
    auto *info = child<QLabel>(tab, "dspInteractiveInfo");

    tabs->setCurrentIndex(1);
    SpectrumView *spectrum = tab->views()->spectrum();
    QTRY_VERIFY(spectrum->canvas()->isVisible());
    const auto spectrumPoint = [spectrum](double hertz) {
        return QPoint(qRound(spectrum->transform(QwtPlot::xBottom, hertz)),
                      spectrum->canvas()->height() / 2);
    };
    QTest::mouseClick(spectrum->canvas(), Qt::LeftButton, Qt::ControlModifier, spectrumPoint(3000));
    // Within a pixel of 3000 Hz, then widened to whole Hz.
    QVERIFY2(qAbs(low->value() - 2880) <= 10, qPrintable(QString::number(low->value())));
    QVERIFY(high->value() - low->value() >= 240 && high->value() - low->value() <= 241);
    QVERIFY(info->text().startsWith("Selected audio band: "));
    QVERIFY(!info->text().contains("At "));

    tabs->setCurrentIndex(0);
    SpectrogramView *spectrogram = tab->views()->spectrogram();
    QTRY_VERIFY(spectrogram->canvas()->isVisible());
    const QPoint at(qRound(spectrogram->transform(QwtPlot::xBottom, 1.0)),
                    qRound(spectrogram->transform(QwtPlot::yLeft, 1000.0)));
    QTest::mouseClick(spectrogram->canvas(), Qt::LeftButton, Qt::ControlModifier, at);
    QVERIFY2(qAbs(low->value() - 880) <= 40, qPrintable(QString::number(low->value())));
    QVERIFY2(info->text().contains(
                 QRegularExpression("   At [01]\\.\\d{3} s: -9\\d\\.\\d dBFS/bin\\.$")),
             qPrintable(info->text()));

    // While a job runs the click is not taken as a band pick.
    tab->setWavFile(m_longWav, false);
    tab->startDspAnalysis();
    QVERIFY(tab->isRunning());
    const int before = low->value();
    QTest::mouseClick(spectrogram->canvas(), Qt::LeftButton, Qt::ControlModifier,
                      QPoint(at.x(), at.y() / 2));
    tab->views()->selectBandAt(4000.0, -1.0);
    QCOMPARE(low->value(), before);
    tab->cancelDspAnalysis();
    waitForFinish();
}

void TestDspTab::keyboardAndExports()
{
    DspTab *tab = makeTab();
    DspInteractiveViews *views = tab->views();
    views->populateInteractiveViews(smallResult());
    SpectrogramView *spectrogram = views->spectrogram();
    QTRY_VERIFY(spectrogram->canvas()->isVisible());
    QWidget *canvas = spectrogram->canvas();
    // Tab goes through the page in layout order, into the plots and the table.
    QStringList order;
    for (QWidget *w = child<QWidget>(tab, "dspHighHz"); order.size() < 7;
         w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->objectName().startsWith("dsp"))
            order << w->objectName();
    }
    QCOMPARE(order, QStringList({"dspHighHz", "dspAnalyzePB", "dspCancelPB", "dspInteractiveTabs",
                                 "dspSpectrogramPlotCanvas", "dspSpectrumPlotCanvas",
                                 "dspLevelsPlotCanvas"}));
    const QRectF base = spectrogram->currentView();

    QTest::keyClick(canvas, Qt::Key_Plus);
    QCOMPARE(spectrogram->currentView().width(), base.width() / 2);
    QCOMPARE(spectrogram->currentView().center(), base.center());
    QTest::keyClick(canvas, Qt::Key_Right);
    QCOMPARE(spectrogram->currentView().left(), base.width() / 4 + base.width() / 20);
    QTest::keyClick(canvas, Qt::Key_Home);
    QCOMPARE(spectrogram->currentView(), base);

    // B picks the band at the event marker.
    views->events()->setCurrentCell(0, 0);
    views->showEventDetails(0, false);
    QTest::keyClick(canvas, Qt::Key_B);
    QCOMPARE(views->band().lowHz, 880);
    QCOMPARE(views->band().highHz, 1120);

    spectrogram->setExportDefaults(m_dir.path(), "short");
    QCOMPARE(spectrogram->defaultExportPath("png"), m_dir.filePath("short_spectrogram.png"));
    const QString png = m_dir.filePath("view.png");
    QVERIFY(spectrogram->exportTo(png));
    QImage image;
    QVERIFY(image.load(png, "PNG"));
    QCOMPARE(image.size(), spectrogram->size().expandedTo(QSize(320, 200)));
    const QString svg = m_dir.filePath("view.svg");
    QVERIFY(views->spectrum()->exportTo(svg));
    QFile file(svg);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray drawing = file.readAll();
    QVERIFY(drawing.contains("<svg"));
    QVERIFY(drawing.contains("</svg>"));
    QVERIFY(drawing.contains("Power (dBFS/bin)"));
    QVERIFY(m_host->logContains("Plot exported: " + svg));

    const QString nowhere = m_dir.filePath("missing/view.png");
    QVERIFY(!views->level()->exportTo(nowhere));
    QVERIFY(m_host->logContains("Could not export the plot to " + nowhere));
    QVERIFY(!QFile::exists(nowhere));
}

void TestDspTab::handOffAndHelp()
{
    DspTab *tab = makeTab();
    QCOMPARE(tab->browseStartFolder(), QDir::currentPath());
    auto *channel = child<QSpinBox>(tab, "dspChannel");
    channel->setValue(3);
    tab->setWavFile(m_shortWav, true);
    QCOMPARE(child<QLineEdit>(tab, "dspWavPath")->text(), QDir::toNativeSeparators(m_shortWav));
    QCOMPARE(m_host->settings().value(SettingsKeys::dspLastWav).toString(), m_shortWav);
    QCOMPARE(channel->value(), 1);
    QCOMPARE(tab->wavPath(), m_shortWav);
    QCOMPARE(tab->browseStartFolder(), m_shortWav);
    QVERIFY(child<QPushButton>(tab, "dspAnalyzePB")->isEnabled());
    channel->setValue(0);
    tab->setWavFile(m_longWav, false);
    QCOMPARE(channel->value(), 0);

    // The anomaly panel's place, below the analysis.
    auto *panel = new QLabel("anomaly");
    tab->setAnomalyPanel(panel);
    QCOMPARE(panel->parentWidget(), child<QWidget>(tab, "dspAnomalyArea"));

    child<QPushButton>(tab, "dspHelpPB")->click();
    QCOMPARE(m_host->dspHelpRequests, 1);

    // A new tab starts with the stored recording and the stored report folder.
    m_host->settings().setValue(SettingsKeys::dspLastReport, "/nowhere");
    m_tab.reset();
    tab = makeTab();
    QCOMPARE(tab->wavPath(), m_longWav);
    QCOMPARE(tab->lastReportFolder(), QString("/nowhere"));
    QVERIFY(!child<QPushButton>(tab, "dspOpenReportPB")->isEnabled());
}

void TestDspTab::italianCaptions()
{
    QTranslator translator;
    QVERIFY(translator.load(":/Corvin/i18n/corvin_it.qm"));
    QCoreApplication::installTranslator(&translator);
    DspTab *tab = makeTab();
    auto *tabs = child<QTabWidget>(tab, "dspInteractiveTabs");
    QCOMPARE(tabs->tabText(0), QString("Spettrogramma"));
    QCOMPARE(tabs->tabText(1), QString("Spettro"));
    QCOMPARE(tabs->tabText(2), QString("Livello audio"));
    QCOMPARE(tabs->tabText(3), QString("Eventi"));
    QCOMPARE(child<QPushButton>(tab, "dspAnalyzeBandPB")->text(), QString("Analizza banda"));
    QCOMPARE(child<QPushButton>(tab, "dspResetZoomPB")->text(), QString("Ripristina zoom"));
    QCOMPARE(child<QLabel>(tab, "dspBandLowLabel")->text(), QString("Banda da"));
    QCOMPARE(child<QCheckBox>(tab, "dspOnlyBandCB")->text(),
             QString("Mostra solo gli eventi nella banda selezionata"));
    QCOMPARE(child<QLabel>(tab, "dspInteractiveInfo")->text(),
             QString("L'analisi interattiva apparirà dopo Analyze WAV."));
    QCOMPARE(tab->views()->events()->horizontalHeaderItem(5)->text(),
             QString("Sopra il fondo (dB)"));
    QCOMPARE(tab->views()->spectrogram()->axisTitle(QwtPlot::yLeft).text(),
             QString("Frequenza audio (Hz)"));
    tab->views()->populateInteractiveViews(smallResult());
    QCOMPARE(tab->views()->events()->item(0, 1)->text(), QString("Isolato"));
    QCoreApplication::removeTranslator(&translator);
}

QTEST_MAIN(TestDspTab)
#include "tst_dsptab.moc"
