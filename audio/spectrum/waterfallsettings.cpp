#include "waterfallsettings.h"

#include "settingskeys.h"
#include "waterfallmap.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QSettings>
#include <QSignalBlocker>
#include <QSpinBox>

#include <vector>

namespace {

QString key(const QSpinBox *box)
{
    return QString::fromLatin1(SettingsKeys::waterfallPrefix) + box->objectName();
}

} // namespace

WaterfallSettings::WaterfallSettings(QWidget *parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("waterfallPanel"));
    setFrameShape(QFrame::StyledPanel);
    auto *title = new QLabel(tr("Audio waterfall"), this);
    title->setObjectName(QStringLiteral("waterfallTitle"));

    m_enabled = new QCheckBox(tr("Show waterfall below the spectrum"), this);
    m_enabled->setObjectName(QStringLiteral("waterfallEnabled"));
    m_enabled->setChecked(true);
    m_archive = new QCheckBox(tr("Archive live FFT frames"), this);
    m_archive->setObjectName(QStringLiteral("archiveLiveFft"));
    m_archive->setToolTip(tr("Save timestamped FFT data while Audio spectrum is active. Long "
                             "sessions can produce large files."));
    m_archive->setChecked(true);

    m_lowHz = spinBox("waterfallLowHz", 0, 47999, 0, tr(" Hz"));
    m_highHz = spinBox("waterfallHighHz", 1, 48000, 10000, tr(" Hz"));
    m_lowDb = spinBox("waterfallLowDb", -120, -1, -90, tr(" dBFS"));
    m_highDb = spinBox("waterfallHighDb", -119, 0, -20, tr(" dBFS"));
    m_seconds = spinBox("waterfallSeconds", 3, 180, 30, tr(" s"));
    m_rate = spinBox("waterfallRate", 1, 15, 8, tr(" rows/s"));
    m_height = spinBox("waterfallHeight", 1, 99, 45, tr(" %"));
    m_palette = new QComboBox(this);
    m_palette->setObjectName(QStringLiteral("waterfallPalette"));
    m_palette->addItems({tr("Ocean"), tr("Heat"), tr("Grayscale"), tr("Viridis"), tr("Inferno")});

    auto *grid = new QGridLayout(this);
    grid->addWidget(title, 0, 0, 1, 4);
    grid->addWidget(m_enabled, 1, 0, 1, 2);
    grid->addWidget(m_archive, 1, 2, 1, 2);
    const QList<QPair<QString, QWidget *>> fields{
        {tr("Low frequency"), m_lowHz},   {tr("High frequency"), m_highHz},
        {tr("Color floor"), m_lowDb},     {tr("Color ceiling"), m_highDb},
        {tr("History"), m_seconds},       {tr("Update rate"), m_rate},
        {tr("Display height"), m_height}, {tr("Palette"), m_palette},
    };
    for (int i = 0; i < fields.size(); ++i) {
        auto *label = new QLabel(fields[i].first, this);
        label->setBuddy(fields[i].second);
        grid->addWidget(label, 2 + i / 2, 2 * (i % 2));
        grid->addWidget(fields[i].second, 2 + i / 2, 2 * (i % 2) + 1);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    const auto changed = QOverload<int>::of(&QSpinBox::valueChanged);
    for (QSpinBox *box : {m_lowHz, m_highHz, m_lowDb, m_highDb, m_seconds, m_rate})
        connect(box, changed, this, &WaterfallSettings::displayChanged);
    connect(m_palette, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &WaterfallSettings::displayChanged);
    connect(m_height, changed, this, &WaterfallSettings::heightChanged);
    connect(m_enabled, &QCheckBox::toggled, this, &WaterfallSettings::enabledToggled);
    connect(m_archive, &QCheckBox::toggled, this, &WaterfallSettings::archiveToggled);
}

QSpinBox *WaterfallSettings::spinBox(const char *name, int low, int high, int value,
                                     const QString &suffix)
{
    auto *box = new QSpinBox(this);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(low, high);
    box->setValue(value);
    box->setSuffix(suffix);
    return box;
}

void WaterfallSettings::load(QSettings &settings)
{
    const QList<QWidget *> controls{m_enabled, m_archive, m_lowHz, m_highHz, m_lowDb,
                                    m_highDb,  m_seconds, m_rate,  m_height, m_palette};
    std::vector<QSignalBlocker> blockers;
    blockers.reserve(static_cast<size_t>(controls.size()));
    for (QWidget *control : controls)
        blockers.emplace_back(control);
    m_enabled->setChecked(settings.value(SettingsKeys::waterfallEnabled, true).toBool());
    m_archive->setChecked(settings.value(SettingsKeys::waterfallArchiveLiveFft, true).toBool());
    // Full ranges while reading, so a stored pair is taken as it is; crossLimitRanges then
    // narrows them again.
    m_lowHz->setMaximum(47999);
    m_highHz->setMinimum(1);
    m_lowDb->setMaximum(-1);
    m_highDb->setMinimum(-119);
    for (QSpinBox *box : {m_lowHz, m_highHz, m_lowDb, m_highDb, m_seconds, m_rate, m_height})
        box->setValue(settings.value(key(box), box->value()).toInt());
    m_palette->setCurrentIndex(WaterfallMap::clampPalette(
        settings.value(SettingsKeys::waterfallPalette, m_palette->currentIndex()).toInt()));
}

void WaterfallSettings::store(QSettings &settings) const
{
    settings.setValue(SettingsKeys::waterfallEnabled, m_enabled->isChecked());
    settings.setValue(SettingsKeys::waterfallArchiveLiveFft, m_archive->isChecked());
    for (const QSpinBox *box : {m_lowHz, m_highHz, m_lowDb, m_highDb, m_seconds, m_rate, m_height})
        settings.setValue(key(box), box->value());
    settings.setValue(SettingsKeys::waterfallPalette, m_palette->currentIndex());
}

void WaterfallSettings::crossLimitRanges()
{
    const QSignalBlocker lowHz(m_lowHz);
    const QSignalBlocker highHz(m_highHz);
    const QSignalBlocker lowDb(m_lowDb);
    const QSignalBlocker highDb(m_highDb);
    m_lowHz->setMaximum(m_highHz->value() - 1);
    m_highHz->setMinimum(m_lowHz->value() + 1);
    m_lowDb->setMaximum(m_highDb->value() - 1);
    m_highDb->setMinimum(m_lowDb->value() + 1);
}

bool WaterfallSettings::waterfallEnabled() const
{
    return m_enabled->isChecked();
}

bool WaterfallSettings::archiveEnabled() const
{
    return m_archive->isChecked();
}

int WaterfallSettings::lowHz() const
{
    return m_lowHz->value();
}

int WaterfallSettings::highHz() const
{
    return m_highHz->value();
}

int WaterfallSettings::floorDb() const
{
    return m_lowDb->value();
}

int WaterfallSettings::ceilingDb() const
{
    return m_highDb->value();
}

int WaterfallSettings::historySeconds() const
{
    return m_seconds->value();
}

int WaterfallSettings::rowsPerSecond() const
{
    return m_rate->value();
}

int WaterfallSettings::heightPercent() const
{
    return m_height->value();
}

int WaterfallSettings::palette() const
{
    return m_palette->currentIndex();
}

void WaterfallSettings::setHeightPercent(int percent)
{
    const QSignalBlocker blocker(m_height);
    m_height->setValue(percent);
}
