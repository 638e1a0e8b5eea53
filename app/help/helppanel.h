#pragma once

#include <QWidget>

class LanguageSelector;
class QPushButton;
class QSettings;

// Language and help block of the Settings page: the language choice (LanguageSelector)
// and the buttons "Program help" (`programHelpPB`) and "Freeware license" (`licensePB`),
// which open the user guide and the licence of the running language in document viewers
// owned by the panel's top-level window. GUI thread only; the settings store must outlive
// the panel.
class HelpPanel : public QWidget
{
    Q_OBJECT

public:
    explicit HelpPanel(QSettings &settings, QWidget *parent = nullptr);

    LanguageSelector *languageSelector() const { return m_language; }
    QPushButton *programHelpButton() const { return m_programHelp; }
    QPushButton *licenseButton() const { return m_license; }

signals:
    // A document could not be opened (translated text for the log).
    void errorOccurred(const QString &message);

private:
    void showDocument(const QString &resourcePath, const QString &title);

    LanguageSelector *m_language;
    QPushButton *m_programHelp;
    QPushButton *m_license;
};
