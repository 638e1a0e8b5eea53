#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QSettings;

// The language choice of the Settings page: caption "Language", the list `languageCB`
// ("English (EN)" = "en", "Italiano (IT)" = "it") and below it the notice `languageNotice`,
// which asks for a restart while the selection differs from the running language. A change
// is stored as "Language" and flushed to disk at once; it takes effect at the next start.
// GUI thread only; the settings store must outlive the selector.
class LanguageSelector : public QWidget
{
    Q_OBJECT

public:
    explicit LanguageSelector(QSettings &settings, QWidget *parent = nullptr);

    QComboBox *languageList() const { return m_list; }
    QLabel *notice() const { return m_notice; }

private:
    void selectionChanged();
    void updateNotice();

    QSettings &m_settings;
    QComboBox *m_list;
    QLabel *m_notice;
};
