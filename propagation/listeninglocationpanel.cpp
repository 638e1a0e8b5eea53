#include "listeninglocationpanel.h"

#include "applanguage.h"
#include "propagationsite.h"
#include "settingskeys.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QSettings>

namespace {

QLineEdit *field(const QString &name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    return edit;
}

QLabel *label(const QString &name, const QString &text, QWidget *parent)
{
    auto *result = new QLabel(text, parent);
    result->setObjectName(name);
    return result;
}

// A stored coordinate as the user reads it: 8 decimals, decimal comma in Italian.
QString coordinateText(bool valid, double value)
{
    if (!valid)
        return QString();
    QLocale locale(runningLanguage() == QLatin1String("it") ? QLocale::Italian : QLocale::English);
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'f', 8);
}

} // namespace

ListeningLocationPanel::ListeningLocationPanel(QSettings &settings, QWidget *parent)
    : QGroupBox(tr("Listening location"), parent)
    , m_settings(settings)
{
    setObjectName(QStringLiteral("listeningLocationGroup"));
    auto *grid = new QGridLayout(this);
    m_name = field(QStringLiteral("listeningName"), this);
    m_latitude = field(QStringLiteral("listeningLatitude"), this);
    m_longitude = field(QStringLiteral("listeningLongitude"), this);
    grid->addWidget(label(QStringLiteral("listeningNameLabel"), tr("Name"), this), 0, 0);
    grid->addWidget(m_name, 0, 1);
    grid->addWidget(label(QStringLiteral("listeningLatitudeLabel"), tr("Latitude (°)"), this), 1,
                    0);
    grid->addWidget(m_latitude, 1, 1);
    grid->addWidget(label(QStringLiteral("listeningLongitudeLabel"), tr("Longitude (°)"), this), 2,
                    0);
    grid->addWidget(m_longitude, 2, 1);
    m_hint = label(QStringLiteral("listeningLocationHint"), hintText(), this);
    m_hint->setWordWrap(true);
    grid->addWidget(m_hint, 3, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    const PropagationSite site = loadListeningLocation(m_settings);
    m_name->setText(site.name);
    m_latitude->setText(coordinateText(site.latitudeValid, site.latitude));
    m_longitude->setText(coordinateText(site.longitudeValid, site.longitude));

    for (QLineEdit *edit : {m_name, m_latitude, m_longitude})
        connect(edit, &QLineEdit::editingFinished, this,
                &ListeningLocationPanel::saveListeningLocation);
}

QString ListeningLocationPanel::hintText()
{
    return tr("Optional. Use signed decimal degrees. North and east are positive.");
}

QString ListeningLocationPanel::pendingText()
{
    return tr("Location changes pending. Enter latitude from −90 to 90 and longitude from −180 to "
              "180, or leave the fields blank.");
}

void ListeningLocationPanel::saveListeningLocation()
{
    bool latitudeValid = false;
    bool longitudeValid = false;
    const double latitude = parseCoordinate(m_latitude->text(), 90.0, &latitudeValid);
    const double longitude = parseCoordinate(m_longitude->text(), 180.0, &longitudeValid);
    const bool latitudeEmpty = m_latitude->text().trimmed().isEmpty();
    const bool longitudeEmpty = m_longitude->text().trimmed().isEmpty();
    if ((!latitudeEmpty && !latitudeValid) || (!longitudeEmpty && !longitudeValid)) {
        m_hint->setText(pendingText());
        return;
    }
    m_settings.setValue(QString::fromLatin1(SettingsKeys::locationName), m_name->text().trimmed());
    const auto store = [this](const char *key, bool valid, double value) {
        if (valid)
            m_settings.setValue(QString::fromLatin1(key), value);
        else
            m_settings.remove(QString::fromLatin1(key));
    };
    store(SettingsKeys::locationLatitude, latitudeValid, latitude);
    store(SettingsKeys::locationLongitude, longitudeValid, longitude);
    m_hint->setText(hintText());
    emit locationChanged();
}
