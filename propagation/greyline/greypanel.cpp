#include "greypanel.h"

#include "greymap.h"
#include "settingskeys.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabWidget>
#include <QTimeEdit>
#include <QTimer>
#include <QVBoxLayout>

using namespace Greyline;

namespace {

constexpr int liveIntervalMs = 1000;

QDoubleSpinBox *degreeSpinBox(QWidget *parent, const char *name, double minimum, double maximum,
                              int decimals)
{
    auto *spin = new QDoubleSpinBox(parent);
    spin->setObjectName(QString::fromLatin1(name));
    spin->setRange(minimum, maximum);
    spin->setDecimals(decimals);
    spin->setSuffix(QStringLiteral("\u00b0"));
    // A value counts when editing finishes or a step is taken, not at every key.
    spin->setKeyboardTracking(false);
    return spin;
}

QLabel *valueLabel(QWidget *parent, const char *name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

GreyPanel::GreyPanel(QSettings &settings, SiteProvider siteProvider, bool italian, QWidget *parent,
                     const QString &mapPath)
    : QWidget(parent)
    , m_settings(settings)
    , m_siteProvider(std::move(siteProvider))
    , m_italian(italian)
    , m_clock([] { return QDateTime::currentDateTimeUtc(); })
{
    buildControls(mapPath);
    // Loading comes before the reactions are connected, so it writes nothing back.
    loadSettings();
    m_live->setChecked(true);
    m_map->setPickCallback([this](const Site &site) {
        {
            const QSignalBlocker latitudeBlocker(m_dxLatitude);
            const QSignalBlocker longitudeBlocker(m_dxLongitude);
            const QSignalBlocker dxBlocker(m_dx);
            m_dxLatitude->setValue(site.latitude);
            m_dxLongitude->setValue(site.longitude);
            m_dx->setChecked(true);
        }
        saveGreylineSettings();
    });
    m_liveTimer = new QTimer(this);
    m_liveTimer->setInterval(liveIntervalMs);
    connectReactions();
    syncToNow();
    m_date->setEnabled(false);
    m_time->setEnabled(false);
    recomputeGreyline();
    m_liveTimer->start();
}

GreyPanel *GreyPanel::addPage(QTabWidget &mainTab, QSettings &settings, SiteProvider siteProvider,
                              bool italian)
{
    auto *scroll = new QScrollArea(&mainTab);
    scroll->setObjectName(QStringLiteral("Greyline"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto *panel = new GreyPanel(settings, std::move(siteProvider), italian);
    scroll->setWidget(panel);
    int index = mainTab.count();
    for (int i = 0; i < mainTab.count(); ++i) {
        if (mainTab.widget(i)->objectName() == QLatin1String("Propagation"))
            index = i + 1;
    }
    mainTab.insertTab(index, scroll, QStringLiteral("Greyline"));
    QObject::connect(&mainTab, &QTabWidget::currentChanged, panel, [&mainTab, scroll, panel] {
        if (mainTab.currentWidget() == scroll)
            panel->pageShown();
    });
    return panel;
}

QString GreyPanel::text(const char *english, const char *italian) const
{
    return QString::fromUtf8(m_italian ? italian : english);
}

QString GreyPanel::degrees(double value) const
{
    QString number = QString::number(value, 'f', 1);
    // A value that rounds to zero reads 0.0, whatever its sign.
    if (number == QLatin1String("-0.0"))
        number.remove(0, 1);
    return number + QStringLiteral("\u00b0");
}

void GreyPanel::buildControls(const QString &mapPath)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);

    auto *timeRow = new QHBoxLayout;
    m_live = new QCheckBox(text("Live UTC", "UTC in tempo reale"), this);
    m_live->setObjectName(QStringLiteral("greylineLive"));
    m_live->setToolTip(text("Follow current UTC automatically, once per minute.",
                            "Segue automaticamente l'ora UTC corrente, ogni minuto."));
    m_date = new QDateEdit(this);
    m_date->setObjectName(QStringLiteral("greylineDate"));
    // UTC: no local midnight that a daylight-saving change could skip or repeat.
    m_date->setTimeSpec(Qt::UTC);
    m_date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_date->setCalendarPopup(true);
    m_date->setDateRange(QDate(1900, 1, 1), QDate(2100, 12, 31));
    m_date->setToolTip(
        text("UTC calendar date for the simulation.", "Data UTC della simulazione."));
    m_time = new QTimeEdit(this);
    m_time->setObjectName(QStringLiteral("greylineTime"));
    m_time->setTimeSpec(Qt::UTC);
    m_time->setDisplayFormat(QStringLiteral("HH:mm"));
    m_time->setToolTip(text("UTC time of the simulated map.", "Ora UTC della mappa simulata."));
    m_now = new QPushButton(text("Now", "Adesso"), this);
    m_now->setObjectName(QStringLiteral("greylineNow"));
    m_now->setToolTip(text("Return to current UTC and enable live mode.",
                           "Torna all'ora UTC corrente e attiva il tempo reale."));
    m_low = degreeSpinBox(this, "greylineLow", -18.0, 0.0, 1);
    m_low->setToolTip(text("Lower solar elevation limit, degrees.",
                           "Limite inferiore dell'elevazione solare, in gradi."));
    m_high = degreeSpinBox(this, "greylineHigh", 0.0, 12.0, 1);
    m_high->setToolTip(text("Upper solar elevation limit, degrees.",
                            "Limite superiore dell'elevazione solare, in gradi."));
    timeRow->addWidget(m_live);
    timeRow->addWidget(m_date);
    timeRow->addWidget(m_time);
    timeRow->addWidget(m_now);
    timeRow->addStretch(1);
    timeRow->addWidget(new QLabel(text("Greyline band:", "Fascia Greyline:"), this));
    timeRow->addWidget(m_low);
    timeRow->addWidget(m_high);
    layout->addLayout(timeRow);

    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setObjectName(QStringLiteral("greylineSlider"));
    m_slider->setRange(0, minutesPerDay - 1);
    m_slider->setPageStep(60);
    m_slider->setToolTip(
        text("Explore any minute of the UTC day.", "Esplora qualsiasi minuto del giorno UTC."));
    layout->addWidget(m_slider);
    auto *ticks = new QHBoxLayout;
    const QStringList tickTexts = {QStringLiteral("00:00"), QStringLiteral("06:00"),
                                   QStringLiteral("12:00"), QStringLiteral("18:00"),
                                   QStringLiteral("23:59")};
    for (int i = 0; i < tickTexts.size(); ++i) {
        if (i > 0)
            ticks->addStretch(1);
        ticks->addWidget(new QLabel(tickTexts[i], this));
    }
    layout->addLayout(ticks);

    const QString legend = text("Day / shaded night  |  Amber: Greyline  |  Pale line: solar "
                                "horizon  |  Click map to set DX",
                                "Giorno / notte in ombra  |  Ambra: Greyline  |  Linea chiara: "
                                "orizzonte solare  |  Clic sulla mappa per impostare DX");
    m_map = new GreyMap(this, mapPath);
    m_map->setObjectName(QStringLiteral("greylineMap"));
    m_map->setToolTip(legend);
    layout->addWidget(m_map, 1);
    m_legend = new QLabel(legend, this);
    m_legend->setObjectName(QStringLiteral("greylineLegend"));
    m_legend->setWordWrap(true);
    layout->addWidget(m_legend);

    auto *dxRow = new QHBoxLayout;
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("greylineStatus"));
    m_status->setTextFormat(Qt::PlainText);
    m_status->setWordWrap(true);
    m_dx = new QCheckBox(this);
    m_dx->setObjectName(QStringLiteral("greylineDx"));
    m_dx->setToolTip(text("Enable or clear a remote listening target.",
                          "Abilita o rimuove una località remota."));
    m_dxLatitude = degreeSpinBox(this, "greylineDxLatitude", -90.0, 90.0, 3);
    m_dxLatitude->setToolTip(text("DX latitude; north positive.", "Latitudine DX; nord positivo."));
    m_dxLongitude = degreeSpinBox(this, "greylineDxLongitude", -180.0, 180.0, 3);
    m_dxLongitude->setToolTip(
        text("DX longitude; east positive.", "Longitudine DX; est positivo."));
    dxRow->addWidget(m_status, 1);
    dxRow->addWidget(m_dx);
    dxRow->addWidget(new QLabel(QStringLiteral("Lat"), this));
    dxRow->addWidget(m_dxLatitude);
    dxRow->addWidget(new QLabel(QStringLiteral("Lon"), this));
    dxRow->addWidget(m_dxLongitude);
    layout->addLayout(dxRow);

    auto *grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    m_rxWindows = valueLabel(this, "greylineRxWindows");
    m_dxWindows = valueLabel(this, "greylineDxWindows");
    m_bothWindows = valueLabel(this, "greylineBothWindows");
    m_best = valueLabel(this, "greylineBestOverlap");
    const QList<QPair<QString, QLabel *>> rows = {
        {text("RX windows", "Finestre RX"), m_rxWindows},
        {text("DX windows", "Finestre DX"), m_dxWindows},
        {text("Simultaneous", "Contemporanee"), m_bothWindows},
        {text("Best overlap", "Massimo comune"), m_best},
    };
    for (int row = 0; row < rows.size(); ++row) {
        grid->addWidget(new QLabel(rows[row].first, this), row, 0);
        grid->addWidget(rows[row].second, row, 1);
    }
    layout->addLayout(grid);

    m_footer = new QLabel(text("All times UTC. Geometric estimate only; not a prediction of SNR "
                               "or reception. RX coordinates: Settings.",
                               "Tutti gli orari UTC. Stima solo geometrica, non previsione di "
                               "SNR o ricezione. Coordinate RX: Impostazioni."),
                          this);
    m_footer->setObjectName(QStringLiteral("greylineFooter"));
    m_footer->setWordWrap(true);
    layout->addWidget(m_footer);
}

void GreyPanel::loadSettings()
{
    // The spin boxes clamp what lies outside their ranges; what does not read as a number
    // reads as 0.
    m_low->setValue(m_settings.value(QLatin1String(SettingsKeys::greylineLow), -6.0).toDouble());
    m_high->setValue(m_settings.value(QLatin1String(SettingsKeys::greylineHigh), 3.0).toDouble());
    m_dxLatitude->setValue(
        m_settings.value(QLatin1String(SettingsKeys::greylineDxLat), 0.0).toDouble());
    m_dxLongitude->setValue(
        m_settings.value(QLatin1String(SettingsKeys::greylineDxLon), 0.0).toDouble());
    m_dx->setChecked(m_settings.value(QLatin1String(SettingsKeys::greylineHasDx), false).toBool());
}

void GreyPanel::connectReactions()
{
    connect(m_live, &QCheckBox::toggled, this, &GreyPanel::liveToggled);
    connect(m_now, &QPushButton::clicked, this, &GreyPanel::nowClicked);
    connect(m_date, &QDateEdit::dateChanged, this, &GreyPanel::recomputeGreyline);
    connect(m_time, &QTimeEdit::timeChanged, this, &GreyPanel::timeChanged);
    connect(m_slider, &QSlider::valueChanged, this, &GreyPanel::sliderMoved);
    for (QDoubleSpinBox *spin : {m_low, m_high, m_dxLatitude, m_dxLongitude}) {
        connect(spin, qOverload<double>(&QDoubleSpinBox::valueChanged), this,
                &GreyPanel::saveGreylineSettings);
    }
    connect(m_dx, &QCheckBox::toggled, this, &GreyPanel::saveGreylineSettings);
    connect(m_liveTimer, &QTimer::timeout, this, &GreyPanel::liveTick);
}

void GreyPanel::liveToggled(bool checked)
{
    if (checked)
        syncToNow();
    m_date->setEnabled(!checked);
    m_time->setEnabled(!checked);
    recomputeGreyline();
}

void GreyPanel::nowClicked()
{
    m_live->setChecked(true);
    syncToNow();
    recomputeGreyline();
}

void GreyPanel::timeChanged()
{
    {
        const QSignalBlocker blocker(m_slider);
        m_slider->setValue(m_time->time().hour() * 60 + m_time->time().minute());
    }
    recomputeGreyline();
}

void GreyPanel::sliderMoved(int minute)
{
    // Moving through the day leaves live mode.
    m_live->setChecked(false);
    m_time->setTime(QTime(minute / 60, minute % 60, 0));
}

void GreyPanel::liveTick()
{
    if (!isVisible() || !m_live->isChecked())
        return;
    const QDateTime now = m_clock();
    const QTime shown = m_time->time();
    if (m_date->date() != now.date() || shown.hour() != now.time().hour() ||
        shown.minute() != now.time().minute()) {
        syncToNow();
        recomputeGreyline();
    }
}

void GreyPanel::pageShown()
{
    if (m_live->isChecked())
        syncToNow();
    recomputeGreyline();
}

void GreyPanel::syncToNow()
{
    const QDateTime now = m_clock();
    const QSignalBlocker dateBlocker(m_date);
    const QSignalBlocker timeBlocker(m_time);
    const QSignalBlocker sliderBlocker(m_slider);
    m_date->setDate(now.date());
    m_time->setTime(QTime(now.time().hour(), now.time().minute(), 0));
    m_slider->setValue(now.time().hour() * 60 + now.time().minute());
}

void GreyPanel::saveGreylineSettings()
{
    m_settings.setValue(QLatin1String(SettingsKeys::greylineLow), m_low->value());
    m_settings.setValue(QLatin1String(SettingsKeys::greylineHigh), m_high->value());
    m_settings.setValue(QLatin1String(SettingsKeys::greylineHasDx), m_dx->isChecked());
    m_settings.setValue(QLatin1String(SettingsKeys::greylineDxLat), m_dxLatitude->value());
    m_settings.setValue(QLatin1String(SettingsKeys::greylineDxLon), m_dxLongitude->value());
    recomputeGreyline();
}

void GreyPanel::recomputeGreyline()
{
    const PropagationSite site = m_siteProvider ? m_siteProvider() : PropagationSite();
    GreylinePlanInputs inputs;
    inputs.rxConfigured = site.latitudeValid && site.longitudeValid;
    if (inputs.rxConfigured)
        inputs.rx = {site.latitude, site.longitude};
    inputs.dxEnabled = m_dx->isChecked();
    inputs.dx = {m_dxLatitude->value(), m_dxLongitude->value()};
    m_dxLatitude->setEnabled(inputs.dxEnabled);
    m_dxLongitude->setEnabled(inputs.dxEnabled);
    inputs.day0 = dayZero(m_date->date());
    inputs.low = m_low->value();
    inputs.high = m_high->value();

    // The map and the status show the whole minute; the planner uses the middle of each.
    const QTime shown = m_time->time();
    const SunPosition sun = sunPosition(inputs.day0, shown.hour() * 60 + shown.minute());
    m_map->setRxMarker(inputs.rxConfigured, inputs.rx.latitude, inputs.rx.longitude);
    m_map->setDxMarker(inputs.dxEnabled, inputs.dx.latitude, inputs.dx.longitude);
    m_map->updateShading(sun, inputs.low, inputs.high);

    if (inputs.rxConfigured) {
        const QString name = site.name.isEmpty() ? text("Site", "Stazione") : site.name;
        m_status->setText(
            QStringLiteral("RX %1 (%2, %3)  |  h = %4")
                .arg(name, degrees(inputs.rx.latitude), degrees(inputs.rx.longitude),
                     degrees(solarElevation(sun, inputs.rx.latitude, inputs.rx.longitude))));
    } else {
        m_status->setText(
            text("RX not configured (Settings)", "RX non configurato (Impostazioni)"));
    }
    m_dx->setText(inputs.dxEnabled ? QStringLiteral("DX | h = %1")
                                         .arg(degrees(solarElevation(sun, inputs.dx.latitude,
                                                                     inputs.dx.longitude)))
                                   : text("DX target", "Località DX"));

    if (!m_planValid || inputs != m_planInputs) {
        m_plan = planGreylineDay(inputs);
        m_planInputs = inputs;
        m_planValid = true;
        ++m_planCount;
    }
    const QString none = QStringLiteral("\u2014");
    m_rxWindows->setText(inputs.rxConfigured
                             ? formatWindows(m_plan.rxWindows, m_italian)
                             : text("Set RX coordinates first", "Imposta prima le coordinate RX"));
    m_dxWindows->setText(inputs.dxEnabled ? formatWindows(m_plan.dxWindows, m_italian)
                                          : text("Select a DX point on the map",
                                                 "Seleziona un punto DX sulla mappa"));
    m_bothWindows->setText(inputs.rxConfigured && inputs.dxEnabled
                               ? formatWindows(m_plan.bothWindows, m_italian)
                               : none);
    m_best->setText(
        m_plan.bestMinute < 0
            ? none
            : formatMinute(m_plan.bestMinute) +
                  QStringLiteral(" UTC   |   G = %1 / 1").arg(m_plan.bestScore, 0, 'f', 3));
}
