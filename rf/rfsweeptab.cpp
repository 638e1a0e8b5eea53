#include "rfsweeptab.h"

#include "activityregistry.h"
#include "corvindriver.h"
#include "corvinhost.h"
#include "htmlreport.h"
#include "parametergrid.h"
#include "receivercontrol.h"
#include "rfsweepplot.h"
#include "scanstandby.h"
#include "settingskeys.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFrame>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace {

QString key(const QString &objectName)
{
    return QLatin1String(SettingsKeys::rfSweepPrefix) + objectName;
}

} // namespace

RfSweepTab::RfSweepTab(CorvinHost &host, QWidget *parent)
    : QWidget(parent)
    , m_host(host)
{
    setObjectName(QStringLiteral("rfSweepTab"));
    const QStringList modes = m_host.receiverControl().modeCaptions();
    m_sweep = new RfSweep(*m_host.driver(), modes, this);
    m_openReport = [this](const QString &path) { return openHtmlReport(path, m_host); };

    buildUi();
    restoreSettings();
    connectSweep();

    ActivityRegistry &activities = m_host.activities();
    activities.registerActivity(Activity::RfSweep, this, [this] { return isRunning(); });
    activities.registerControlUpdate(this, [this] { updateControls(); });
    activities.registerShutdownStep(ShutdownStep::RfSweep, this, [this] {
        m_sweep->stop(tr("Frequency spectrum sweep stopped on exit."));
    });
    activities.registerShutdownStep(ShutdownStep::StoreSettings, this, [this] { storeSettings(); });
    updateControls();
}

void RfSweepTab::buildUi()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(buildParameters());

    m_plot = new RfSweepPlot(this);
    m_plot->setMinimumHeight(320);
    layout->addWidget(m_plot, 1);
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("rfSummary"));
    layout->addWidget(m_summary);
    layout->addWidget(buildResults());

    auto *actions = new QHBoxLayout;
    m_printButton = new QPushButton(tr("Open / Print HTML"), this);
    m_printButton->setObjectName(QStringLiteral("rfPrintPB"));
    actions->addWidget(m_printButton);
    actions->addStretch(1);
    layout->addLayout(actions);
    m_status = new QLabel(tr("Connect the receiver to start an RF sweep."), this);
    m_status->setObjectName(QStringLiteral("rfStatus"));
    m_status->setWordWrap(true);
    layout->addWidget(m_status);

    connect(m_startButton, &QPushButton::clicked, this, &RfSweepTab::startSweep);
    connect(m_stopButton, &QPushButton::clicked, this, &RfSweepTab::stopButton);
    connect(m_printButton, &QPushButton::clicked, this, &RfSweepTab::openReport);
    connect(m_statsBand, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &RfSweepTab::refreshBandView);
}

QWidget *RfSweepTab::buildParameters()
{
    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("rfSpectrumPanel"));
    ParameterGrid fields(panel);
    QGridLayout *grid = fields.layout();
    const ParameterGrid::FrequencyRange range = fields.addFrequencyRange(0, QStringLiteral("rf"));
    m_start = range.start;
    m_end = range.end;
    m_step = range.step;
    m_mode = new QComboBox(panel);
    m_mode->setObjectName(QStringLiteral("rfModeCB"));
    m_mode->setToolTip(tr("In AUTO, the receiver selects the mode for each frequency. The scan "
                          "keeps the configured frequency step."));
    m_mode->addItems(m_host.receiverControl().modeCaptions());
    m_settle = new QSpinBox(panel);
    m_settle->setObjectName(QStringLiteral("rfSettleMs"));
    m_settle->setRange(50, 2000);
    m_settle->setSingleStep(25);
    m_settle->setSuffix(QStringLiteral(" ms"));

    fields.addField(1, 0, tr("Receiver mode"), m_mode);
    fields.addField(1, 2, tr("Settle time"), m_settle);
    auto *units = new QLabel(tr("S-meter level (0-255)"), panel);
    units->setObjectName(QStringLiteral("rfUnits"));
    grid->addWidget(units, 1, 4, 1, 2);

    m_standbyAfter = new QCheckBox(tr("Put radio and PC in standby when the scan finishes"), panel);
    m_standbyAfter->setObjectName(QStringLiteral("rfStandbyAfter"));
    m_standbyAfter->setToolTip(tr("Applies to this run only. After the scan completes and saves "
                                  "its results, you have 15 seconds to cancel standby."));
    grid->addWidget(m_standbyAfter, 2, 0, 1, 4);

    m_startButton = new QPushButton(tr("Start sweep"), panel);
    m_startButton->setObjectName(QStringLiteral("rfStartPB"));
    m_stopButton = new QPushButton(tr("Stop"), panel);
    m_stopButton->setObjectName(QStringLiteral("rfStopPB"));
    grid->addWidget(m_startButton, 2, 4);
    grid->addWidget(m_stopButton, 2, 5);

    m_progress = new QProgressBar(panel);
    m_progress->setObjectName(QStringLiteral("rfProgress"));
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    grid->addWidget(m_progress, 3, 0, 1, 6);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setColumnStretch(5, 1);
    return panel;
}

QWidget *RfSweepTab::buildResults()
{
    auto *splitter = new QSplitter(Qt::Horizontal, this);

    auto *topPanel = new QWidget(splitter);
    auto *topLayout = new QVBoxLayout(topPanel);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(new QLabel(tr("Strongest frequencies"), topPanel));
    m_topSignals = new QTableWidget(0, 4, topPanel);
    m_topSignals->setObjectName(QStringLiteral("rfTopSignals"));
    m_topSignals->setHorizontalHeaderLabels({tr("MHz"), tr("S-meter"), tr("Mode"), tr("Band")});
    m_topSignals->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_topSignals->verticalHeader()->hide();
    m_topSignals->setAlternatingRowColors(true);
    m_topSignals->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_topSignals->setMinimumHeight(200);
    topLayout->addWidget(m_topSignals);

    auto *statsPanel = new QWidget(splitter);
    auto *statsLayout = new QVBoxLayout(statsPanel);
    statsLayout->setContentsMargins(0, 0, 0, 0);
    m_statsBand = new QComboBox(statsPanel);
    m_statsBand->setObjectName(QStringLiteral("rfStatsBand"));
    m_statsBand->addItem(tr("All bands"), RfBands::none);
    const QColor base = m_statsBand->palette().color(QPalette::Base);
    for (int band = 0; band < RfBands::count; ++band) {
        m_statsBand->addItem(RfBands::caption(band), band);
        m_statsBand->setItemData(band + 1, RfBands::colorOn(band, base), Qt::ForegroundRole);
    }
    statsLayout->addWidget(m_statsBand);
    m_statistics = new QLabel(RfStatistics().text(), statsPanel);
    m_statistics->setObjectName(QStringLiteral("rfStatistics"));
    m_statistics->setWordWrap(true);
    m_statistics->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_statistics->setMinimumHeight(m_statistics->fontMetrics().lineSpacing() * 5);
    statsLayout->addWidget(m_statistics, 1);

    splitter->addWidget(topPanel);
    splitter->addWidget(statsPanel);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    return splitter;
}

void RfSweepTab::restoreSettings()
{
    QSettings &settings = m_host.settings();
    m_start->setValue(settings.value(key(m_start->objectName()), 88.0).toDouble());
    m_end->setValue(settings.value(key(m_end->objectName()), 108.0).toDouble());
    m_step->setValue(settings.value(key(m_step->objectName()), 100.0).toDouble());
    const int mode =
        settings
            .value(QLatin1String(SettingsKeys::rfSweepMode), m_host.receiverControl().modeIndex())
            .toInt();
    m_mode->setCurrentIndex(std::clamp(mode, 0, m_mode->count() - 1));
    m_settle->setValue(settings.value(QLatin1String(SettingsKeys::rfSweepSettleMs), 140).toInt());
    if (m_end->value() > m_start->value())
        m_plot->setFrequencyRange(m_start->value(), m_end->value());
}

void RfSweepTab::storeSettings()
{
    QSettings &settings = m_host.settings();
    settings.setValue(key(m_start->objectName()), m_start->value());
    settings.setValue(key(m_end->objectName()), m_end->value());
    settings.setValue(key(m_step->objectName()), m_step->value());
    settings.setValue(QLatin1String(SettingsKeys::rfSweepMode), m_mode->currentIndex());
    settings.setValue(QLatin1String(SettingsKeys::rfSweepSettleMs), m_settle->value());
}

void RfSweepTab::connectSweep()
{
    ReceiverControl &receiver = m_host.receiverControl();
    connect(m_sweep, &RfSweep::logMessage, this, [this](const QString &m) { m_host.appendLog(m); });
    connect(m_sweep, &RfSweep::statusChanged, m_status, &QLabel::setText);
    connect(m_sweep, &RfSweep::started, this, &RfSweepTab::onStarted);
    connect(m_sweep, &RfSweep::modeSet, this, [this, &receiver](int mode) {
        receiver.setModeIndex(mode, false);
        m_host.scanStandby().setKeepAwake(true);
    });
    connect(m_sweep, &RfSweep::tuned, this,
            [&receiver](qint64 frequency) { receiver.setCurrentFrequency(frequency); });
    connect(m_sweep, &RfSweep::levelShown, this,
            [&receiver](int level) { receiver.showSignalLevel(level); });
    connect(m_sweep, &RfSweep::progressed, this,
            [this](qint64 processed) { m_progress->setValue(static_cast<int>(processed)); });
    connect(m_sweep, &RfSweep::refreshDue, this, &RfSweepTab::refreshResults);
    connect(m_sweep, &RfSweep::restoreRequested, this, [this, &receiver] {
        m_host.restoreReceiver(m_savedFrequency, m_savedMode);
        receiver.showSignalLevel(-1);
        receiver.pollSignalLevelSoon();
    });
    connect(m_sweep, &RfSweep::finished, this, &RfSweepTab::onFinished);
}

bool RfSweepTab::canStart() const
{
    const Corvindriver *driver = m_host.driver();
    return driver && driver->isOpen() && !isRunning() && m_host.isIdle();
}

void RfSweepTab::startSweep()
{
    if (!canStart())
        return;
    RfSweepPlan plan;
    plan.startHz = RfSweepPlan::hertzFromMegahertz(m_start->value());
    plan.endHz = RfSweepPlan::hertzFromMegahertz(m_end->value());
    plan.stepHz = RfSweepPlan::hertzFromKilohertz(m_step->value());
    plan.mode = m_mode->currentIndex();
    plan.modeText = m_mode->currentText();
    plan.settleMs = m_settle->value();
    if (!plan.isValid()) {
        m_status->setText(RfSweep::invalidPlanMessage());
        return;
    }
    QString message;
    if (!m_sweep->start(plan, &message))
        m_status->setText(message);
}

void RfSweepTab::onStarted()
{
    ReceiverControl &receiver = m_host.receiverControl();
    m_savedFrequency = receiver.currentFrequency();
    m_savedMode = receiver.modeIndex();
    // The sweep owns the receiver now: no queued manual request may follow it.
    receiver.clearRequestQueue();
    storeSettings();
    const RfSweepPlan &plan = m_sweep->results().plan();
    m_progress->setRange(0, static_cast<int>(std::min<qint64>(plan.count(), INT_MAX)));
    m_progress->setValue(0);
    m_plot->setFrequencyRange(plan.axisLowHz() / 1e6, plan.axisHighHz() / 1e6);
    m_host.updateConnectionUi();
}

void RfSweepTab::refreshResults()
{
    m_plot->showResults(m_sweep->results());
    m_summary->setText(m_sweep->results().summary());
    refreshBandView();
}

void RfSweepTab::refreshBandView()
{
    const RfSweepResults &results = m_sweep->results();
    const int band = m_statsBand->currentData().toInt();
    const bool all = band == RfBands::none;
    const RfStatistics &stats = all ? results.overall() : results.band(band);
    QString text = stats.text();
    if (!all)
        text += QLatin1Char('\n') + results.bandCoverage(band);
    m_statistics->setText(text);

    const QVector<RfTopEntry> &top = stats.top();
    const QColor base = m_topSignals->palette().color(QPalette::Base);
    m_topSignals->setRowCount(top.size());
    for (int row = 0; row < top.size(); ++row) {
        const RfTopEntry &entry = top[row];
        const int entryBand = RfBands::indexOf(entry.frequency);
        auto *frequency = new QTableWidgetItem(rfMegahertzText(entry.frequency));
        auto *bandCell = new QTableWidgetItem(RfBands::name(entryBand));
        bandCell->setTextAlignment(Qt::AlignCenter);
        bandCell->setFlags(bandCell->flags() & ~Qt::ItemIsEditable);
        if (entryBand != RfBands::none) {
            bandCell->setToolTip(RfBands::rangeText(entryBand));
            const QColor color = RfBands::colorOn(entryBand, base);
            bandCell->setForeground(color);
            frequency->setForeground(color);
        }
        m_topSignals->setItem(row, 0, frequency);
        m_topSignals->setItem(row, 1, new QTableWidgetItem(QString::number(entry.level)));
        m_topSignals->setItem(row, 2, new QTableWidgetItem(m_mode->itemText(entry.mode)));
        m_topSignals->setItem(row, 3, bandCell);
    }
}

void RfSweepTab::onFinished(RfSweep::Outcome outcome, const QString &message)
{
    m_status->setText(message);
    const bool eligible = outcome == RfSweep::Outcome::Completed &&
                          !m_sweep->reportPath().isEmpty() &&
                          m_sweep->results().overall().valid() > 0;
    m_host.scanStandby().finishScanStandby(m_standbyAfter, m_status, eligible);
    m_host.updateConnectionUi();
}

void RfSweepTab::stopButton()
{
    if (m_host.scanStandby().cancelStandby(m_status))
        return;
    m_sweep->stop(RfSweep::stoppedByUserMessage());
}

void RfSweepTab::openReport()
{
    if (!m_sweep->reportPath().isEmpty())
        m_openReport(m_sweep->reportPath());
}

void RfSweepTab::updateControls()
{
    const bool running = isRunning();
    const ScanStandby &standby = m_host.scanStandby();
    const bool counting = standby.isCountingDown();
    const bool ownCountdown = standby.countdownRunsOn(m_status);
    m_startButton->setEnabled(canStart());
    m_stopButton->setEnabled(running || ownCountdown);
    m_stopButton->setText(ownCountdown ? tr("Cancel standby") : tr("Stop"));
    m_standbyAfter->setEnabled(!counting);
    m_printButton->setEnabled(!running && !m_sweep->reportPath().isEmpty());
    for (QWidget *parameter : {static_cast<QWidget *>(m_start), static_cast<QWidget *>(m_end),
                               static_cast<QWidget *>(m_step), static_cast<QWidget *>(m_mode),
                               static_cast<QWidget *>(m_settle)})
        parameter->setEnabled(!running);
}
