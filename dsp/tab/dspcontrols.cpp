#include "dspcontrols.h"

#include "settingskeys.h"

#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>

namespace {

QSpinBox *spinBox(QWidget *parent, const char *name, int minimum, int maximum, int value,
                  const QString &suffix)
{
    auto *box = new QSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setRange(minimum, maximum);
    box->setValue(value);
    box->setSuffix(suffix);
    return box;
}

QLabel *label(QWidget *parent, const char *name, const QString &text, QWidget *buddy)
{
    auto *result = new QLabel(text, parent);
    result->setObjectName(QLatin1String(name));
    result->setBuddy(buddy);
    return result;
}

int storedInt(QSettings &settings, const char *key, int fallback)
{
    bool ok = false;
    const int value = settings.value(QLatin1String(key), fallback).toInt(&ok);
    return ok ? value : fallback;
}

} // namespace

DspControls::DspControls(QWidget *parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("dspPanel"));
    m_wavPath = new QLineEdit(this);
    m_wavPath->setObjectName(QStringLiteral("dspWavPath"));
    m_wavPath->setReadOnly(true);
    m_wavPath->setPlaceholderText(tr("Select a WAV recording"));
    m_browse = new QPushButton(tr("Open WAV"), this);
    m_browse->setObjectName(QStringLiteral("dspBrowsePB"));

    m_channel = spinBox(this, "dspChannel", 0, 64, 0, QString());
    m_channel->setSpecialValueText(tr("Auto (strongest)"));
    m_contrast = spinBox(this, "dspContrast", 5, 35, 12, QStringLiteral(" dB"));
    m_lowHz = spinBox(this, "dspLowHz", 0, 95999, 80, QStringLiteral(" Hz"));
    m_highHz = spinBox(this, "dspHighHz", 1, 96000, 6000, QStringLiteral(" Hz"));

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(12, 10, 12, 10);
    grid->setHorizontalSpacing(10);
    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(m_wavPath, 1);
    fileRow->addWidget(m_browse);
    grid->addWidget(label(this, "dspPathLabel", tr("WAV file"), m_wavPath), 0, 0);
    grid->addLayout(fileRow, 0, 1, 1, 7);
    grid->addWidget(label(this, "dspChannelLabel", tr("Audio channel"), m_channel), 1, 0);
    grid->addWidget(m_channel, 1, 1);
    grid->addWidget(label(this, "dspContrastLabel", tr("Pulse contrast"), m_contrast), 1, 2);
    grid->addWidget(m_contrast, 1, 3);
    grid->addWidget(label(this, "dspLowHzLabel", tr("Low frequency"), m_lowHz), 1, 4);
    grid->addWidget(m_lowHz, 1, 5);
    grid->addWidget(label(this, "dspHighHzLabel", tr("High frequency"), m_highHz), 1, 6);
    grid->addWidget(m_highHz, 1, 7);
    for (int column : {1, 3, 5, 7})
        grid->setColumnStretch(column, 1);
}

void DspControls::restoreSettings(QSettings &settings)
{
    m_channel->setValue(storedInt(settings, SettingsKeys::dspChannel, 0));
    m_contrast->setValue(storedInt(settings, SettingsKeys::dspContrast, 12));
    m_lowHz->setValue(storedInt(settings, SettingsKeys::dspLowHz, 80));
    m_highHz->setValue(storedInt(settings, SettingsKeys::dspHighHz, 6000));
    m_wavPath->setText(settings.value(QLatin1String(SettingsKeys::dspLastWav)).toString());
}

void DspControls::storeSettings(QSettings &settings) const
{
    settings.setValue(QLatin1String(SettingsKeys::dspChannel), m_channel->value());
    settings.setValue(QLatin1String(SettingsKeys::dspContrast), m_contrast->value());
    settings.setValue(QLatin1String(SettingsKeys::dspLowHz), m_lowHz->value());
    settings.setValue(QLatin1String(SettingsKeys::dspHighHz), m_highHz->value());
}

NativeWav::AnalysisRequest DspControls::request(const QString &wavPath) const
{
    NativeWav::AnalysisRequest request;
    // The file is opened by its name's bytes in the file system's encoding.
    request.wavPath = std::filesystem::path(QFile::encodeName(wavPath).toStdString());
    request.channel = m_channel->value();
    request.lowHz = m_lowHz->value();
    request.highHz = m_highHz->value();
    request.contrastDb = m_contrast->value();
    return request;
}
