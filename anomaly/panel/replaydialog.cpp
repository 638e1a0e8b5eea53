#include "replaydialog.h"

#include "anomalymetric.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <exception>

namespace {

constexpr qint64 copyBlock = 64 * 1024;
constexpr int tableDigits = 9;
constexpr qint64 displayMs = 100;            // display refresh at "Maximum"
const int intervals[] = {1000, 200, 100, 0}; // ms per second of audio, in Speed order

// The runner's fixed English errors, translated where the catalogue knows them.
const char *const knownErrors[] = {
    QT_TRANSLATE_NOOP("ReplayDialog", "Replay requires PCM16 WAV"),
    QT_TRANSLATE_NOOP("ReplayDialog", "Live band too narrow"),
    QT_TRANSLATE_NOOP("ReplayDialog", "Invalid live analysis band"),
    QT_TRANSLATE_NOOP("ReplayDialog", "Incomplete WAV block"),
    QT_TRANSLATE_NOOP("ReplayDialog", "CSV write error"),
    QT_TRANSLATE_NOOP("ReplayDialog", "Cannot create temporary CSV"),
};

QString tableNumber(double value)
{
    return std::isfinite(value) ? QString::number(value, 'g', tableDigits) : QStringLiteral("--");
}

QTableWidgetItem *cell(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

QTableWidget *table(QWidget *parent, const char *name, const QStringList &headers)
{
    auto *t = new QTableWidget(0, headers.size(), parent);
    t->setObjectName(QLatin1String(name));
    t->setHorizontalHeaderLabels(headers);
    t->verticalHeader()->setVisible(false);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->horizontalHeader()->setStretchLastSection(true);
    return t;
}

} // namespace

ReplayDialog::ReplayDialog(std::unique_ptr<ReplayRunner> runner, const QString &wavPath,
                           const AnomalySettings &settings, QWidget *parent)
    : QDialog(parent)
    , m_runner(std::move(runner))
    , m_settings(settings)
    , m_wavPath(wavPath)
{
    setObjectName(QStringLiteral("anomalyReplay"));
    setWindowTitle(tr("Anomaly replay - offline"));
    resize(950, 700);
    m_timer = new QTimer(this);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &ReplayDialog::tick);
    buildUi(wavPath);
    connect(this, &QDialog::finished, m_timer, &QTimer::stop);
    updateButtons();
}

ReplayDialog::~ReplayDialog() = default;

QString ReplayDialog::errorText(const std::exception &e)
{
    for (const char *known : knownErrors) {
        if (qstrcmp(e.what(), known) == 0)
            return tr(known);
    }
    return QString::fromUtf8(e.what());
}

void ReplayDialog::buildUi(const QString &wavPath)
{
    const int rate = m_runner->sampleRate();
    const int channels = m_runner->channels();
    auto *info = new QLabel(
        QStringLiteral("%1 | %2 Hz | %3 ch | %4 s")
            .arg(QFileInfo(wavPath).fileName())
            .arg(rate)
            .arg(channels)
            .arg(rate > 0 ? static_cast<double>(m_runner->frameCount()) / rate : 0.0, 0, 'f', 2),
        this);
    info->setObjectName(QStringLiteral("replayInfo"));
    auto *note = new QLabel(tr("Uses current DSP band, detector settings and pre/post/cooldown. "
                               "Simulated captures only; original WAV unchanged."),
                            this);
    note->setWordWrap(true);

    m_channel = new QSpinBox(this);
    m_channel->setObjectName(QStringLiteral("replayChannel"));
    m_channel->setRange(1, std::max(1, channels));
    m_channel->setValue(std::min(m_settings.channel + 1, std::max(1, channels)));
    m_speed = new QComboBox(this);
    m_speed->setObjectName(QStringLiteral("replaySpeed"));
    m_speed->addItems(
        {QStringLiteral("1x"), QStringLiteral("5x"), QStringLiteral("10x"), tr("Maximum")});
    m_speed->setCurrentIndex(Speed10x);
    const auto button = [this](const char *name, const QString &text) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    m_start = button("replayStart", tr("Start"));
    m_pause = button("replayPause", tr("Pause"));
    m_reset = button("replayReset", tr("Reset"));
    m_export = button("replayExport", tr("Export CSV..."));
    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(tr("WAV channel (1-based)"), this));
    row->addWidget(m_channel);
    row->addWidget(new QLabel(tr("Speed"), this));
    row->addWidget(m_speed);
    for (QPushButton *b : {m_start, m_pause, m_reset, m_export})
        row->addWidget(b);
    row->addStretch(1);

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("replayProgress"));
    m_progress->setRange(0, 1000);
    m_progress->setValue(0);
    m_status = new QLabel(tr("Ready"), this);
    m_status->setObjectName(QStringLiteral("replayStatus"));
    m_status->setWordWrap(true);

    m_metrics = table(this, "replayMetrics",
                      {tr("Metric"), tr("Value"), tr("Score"), tr("Baseline"), tr("Active")});
    m_metrics->setRowCount(AnomalyMetrics::count);
    for (int i = 0; i < AnomalyMetrics::count; ++i) {
        m_metrics->setItem(i, 0, cell(QLatin1String(AnomalyMetrics::key(i))));
        for (int c = 1; c < m_metrics->columnCount(); ++c)
            m_metrics->setItem(i, c, cell(QStringLiteral("--")));
    }
    m_events = table(
        this, "replayEvents",
        {tr("Time (s)"), tr("Event"), tr("Changed metrics"), tr("Capture"), tr("Window (s)")});
    auto *close = button("replayClose", tr("Close"));

    auto *tables = new QHBoxLayout;
    tables->addWidget(m_metrics, 2);
    tables->addWidget(m_events, 3);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(info);
    layout->addWidget(note);
    layout->addLayout(row);
    layout->addWidget(m_progress);
    layout->addWidget(m_status);
    layout->addLayout(tables, 1);
    layout->addLayout(bottom);

    connect(m_start, &QPushButton::clicked, this, &ReplayDialog::start);
    connect(m_pause, &QPushButton::clicked, this, &ReplayDialog::pause);
    connect(m_reset, &QPushButton::clicked, this, &ReplayDialog::reset);
    connect(m_export, &QPushButton::clicked, this, &ReplayDialog::exportCsv);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_speed, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] {
        if (m_timer->isActive())
            m_timer->start(interval());
    });
}

int ReplayDialog::interval() const
{
    return intervals[std::clamp(m_speed->currentIndex(), 0, int(SpeedMaximum))];
}

bool ReplayDialog::isRunning() const
{
    return m_timer->isActive();
}

QString ReplayDialog::statusText() const
{
    return m_status->text();
}

void ReplayDialog::updateButtons()
{
    const bool running = isRunning();
    m_start->setEnabled(!running && !m_ended);
    m_pause->setEnabled(running);
    m_channel->setEnabled(!m_runner->isStarted());
    m_export->setEnabled(!running && m_runner->seconds() > 0 && m_csv.isOpen());
}

void ReplayDialog::start()
{
    if (m_ended || isRunning())
        return;
    if (!m_runner->isStarted()) {
        try {
            if (!m_csv.isOpen() && !m_csv.open())
                throw std::runtime_error("Cannot create temporary CSV");
            m_runner->start(m_settings, m_channel->value() - 1, &m_csv);
        } catch (const std::exception &e) {
            reset();
            m_status->setText(errorText(e));
            return;
        }
    }
    m_timer->start(interval());
    updateButtons();
}

void ReplayDialog::pause()
{
    m_timer->stop();
    showLatest();
    updateButtons();
}

void ReplayDialog::reset()
{
    m_timer->stop();
    m_runner->reset();
    m_ended = false;
    m_displayPending = false;
    m_events->setRowCount(0);
    m_progress->setValue(0);
    clearMetricTable();
    m_status->setText(tr("Ready"));
    if (m_csv.isOpen()) {
        m_csv.resize(0);
        m_csv.seek(0);
    }
    updateButtons();
}

void ReplayDialog::clearMetricTable()
{
    for (int r = 0; r < m_metrics->rowCount(); ++r) {
        for (int c = 1; c < m_metrics->columnCount(); ++c)
            m_metrics->item(r, c)->setText(QStringLiteral("--"));
    }
}

void ReplayDialog::tick()
{
    ReplayRunner::Step step;
    try {
        if (!m_runner->step(&step)) {
            finish();
            return;
        }
    } catch (const std::exception &e) {
        fail(errorText(e));
        return;
    }
    if (step.decision.result.decision != Decision::None)
        appendEvent(step);
    m_latest = step;
    m_displayPending = true;
    // As fast as the event loop turns, the display keeps to a steady rate: repainting the
    // tables for every second of audio would cost more than analysing it.
    if (interval() > 0 || !m_displayClock.isValid() || m_displayClock.hasExpired(displayMs))
        showLatest();
}

void ReplayDialog::finish()
{
    m_timer->stop();
    showLatest();
    m_ended = true;
    m_progress->setValue(1000);
    m_status->setText(tr("Finished | started %1 | complete %2 | skipped %3 | unfinished %4 | "
                         "tail %5 samples (no full DSP update)")
                          .arg(m_runner->capturesStarted())
                          .arg(m_runner->capturesCompleted())
                          .arg(m_runner->skipped())
                          .arg(m_runner->captureRunning() ? 1 : 0)
                          .arg(m_runner->tailSamples()));
    updateButtons();
}

void ReplayDialog::fail(const QString &error)
{
    m_timer->stop();
    showLatest();
    m_ended = true;
    m_status->setText(error);
    updateButtons();
}

void ReplayDialog::showLatest()
{
    if (!m_displayPending)
        return;
    m_displayPending = false;
    m_displayClock.start();
    const FeatureUpdate &update = m_latest.update;
    const DecisionResult &result = m_latest.decision.result;
    for (int i = 0; i < AnomalyMetrics::count; ++i) {
        const auto at = static_cast<std::size_t>(i);
        m_metrics->item(i, 1)->setText(tableNumber(update.values[at]));
        m_metrics->item(i, 2)->setText(tableNumber(result.scores[at]));
        m_metrics->item(i, 3)->setText(tableNumber(result.baselines[at]));
        m_metrics->item(i, 4)->setText(result.activeMask & AnomalyMetrics::bit(i)
                                           ? QStringLiteral("YES")
                                           : QStringLiteral("--"));
    }

    // 64-bit: position x 1000 overflows 32 bits after 44 s at 48 kHz.
    const quint64 total = std::max<quint64>(1, m_runner->frameCount());
    m_progress->setValue(static_cast<int>(m_runner->position() * 1000 / total));
    m_status->setText(tr("%1 s | history %2/8 s | started %3 | complete %4 | skipped %5 | "
                         "DSP %6 ms")
                          .arg(update.seconds)
                          .arg(update.historyRows / 8)
                          .arg(m_runner->capturesStarted())
                          .arg(m_runner->capturesCompleted())
                          .arg(m_runner->skipped())
                          .arg(update.computeMs, 0, 'f', 1));
}

void ReplayDialog::appendEvent(const ReplayRunner::Step &step)
{
    const FeatureUpdate &update = step.update;
    const DecisionResult &result = step.decision.result;
    QStringList changed;
    for (int i = 0; i < AnomalyMetrics::count; ++i) {
        if (result.changedMask & AnomalyMetrics::bit(i))
            changed << QLatin1String(AnomalyMetrics::key(i));
    }
    const bool started = step.decision.capture == TriggerPolicy::Capture::Start;
    if (m_events->rowCount() >= eventRowLimit)
        m_events->removeRow(0);
    const int row = m_events->rowCount();
    m_events->insertRow(row);
    m_events->setItem(row, 0, cell(QString::number(update.seconds)));
    m_events->setItem(row, 1, cell(QLatin1String(decisionName(result.decision))));
    m_events->setItem(row, 2, cell(changed.join(QStringLiteral(", "))));
    m_events->setItem(row, 3,
                      cell(QLatin1String(TriggerPolicy::captureName(step.decision.capture))));
    m_events->setItem(row, 4,
                      cell(started
                               ? QStringLiteral("%1 - %2").arg(step.windowStart).arg(step.windowEnd)
                               : QStringLiteral("--")));
    m_events->scrollToBottom();
}

QString ReplayDialog::exportTo(const QString &path)
{
    if (!path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        return tr("Choose a .csv filename");
    const QString failed = tr("CSV export failed");
    // Rows still in the file's write buffer would be missing from the copy.
    if (!m_csv.isOpen() || !m_csv.flush())
        return failed;
    const qint64 position = m_csv.pos();
    QSaveFile out(path);
    bool ok = out.open(QIODevice::WriteOnly) && m_csv.seek(0);
    qint64 copied = 0;
    while (ok && copied < position) {
        const QByteArray block = m_csv.read(std::min(copyBlock, position - copied));
        ok = !block.isEmpty() && out.write(block) == block.size();
        copied += block.size();
    }
    // The replay goes on writing where it stopped.
    ok = m_csv.seek(position) && ok;
    if (!ok || !out.commit()) {
        out.cancelWriting();
        return failed;
    }
    return QString();
}

void ReplayDialog::exportCsv()
{
    const QFileInfo wav(m_wavPath);
    const QString proposed =
        wav.dir().filePath(wav.completeBaseName() + QStringLiteral("_replay.csv"));
    const QString path =
        QFileDialog::getSaveFileName(this, tr("Export replay CSV"), proposed, tr("CSV (*.csv)"));
    if (path.isEmpty())
        return;
    const QString warning = exportTo(path);
    if (!warning.isEmpty())
        QMessageBox::warning(this, tr("Export"), warning);
}
