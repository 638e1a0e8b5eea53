#include "languageselector.h"

#include "applanguage.h"
#include "settingskeys.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QSettings>

#include <algorithm>

LanguageSelector::LanguageSelector(QSettings &settings, QWidget *parent)
    : QWidget(parent)
    , m_settings(settings)
    , m_list(new QComboBox(this))
    , m_notice(new QLabel(this))
{
    auto *caption = new QLabel(tr("Language"), this);
    caption->setObjectName(QStringLiteral("languageLB"));
    caption->setBuddy(m_list);
    m_list->setObjectName(QStringLiteral("languageCB"));
    m_notice->setObjectName(QStringLiteral("languageNotice"));
    m_notice->setWordWrap(true);

    // Each language is named in itself, so the items are not translated.
    m_list->addItem(QStringLiteral("English (EN)"), QStringLiteral("en"));
    m_list->addItem(QStringLiteral("Italiano (IT)"), QStringLiteral("it"));
    const QString stored =
        m_settings.value(QLatin1String(SettingsKeys::language), runningLanguage()).toString();
    m_list->setCurrentIndex(std::max(0, m_list->findData(stored)));
    updateNotice();
    connect(m_list, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &LanguageSelector::selectionChanged);

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(caption, 0, 0);
    layout->addWidget(m_list, 0, 1);
    layout->addWidget(m_notice, 1, 0, 1, 3);
    layout->setColumnStretch(2, 1);
}

void LanguageSelector::selectionChanged()
{
    m_settings.setValue(QLatin1String(SettingsKeys::language), m_list->currentData());
    m_settings.sync();
    updateNotice();
}

void LanguageSelector::updateNotice()
{
    m_notice->setText(m_list->currentData().toString() == runningLanguage()
                          ? QString()
                          : tr("Restart Corvin to apply the selected language."));
}
