#pragma once

#include <QGroupBox>

class QLabel;
class QLineEdit;
class QSettings;

// The "Listening location" group of the Settings page: name, latitude and longitude of the
// listening site, and a hint line. The fields are filled from the settings at construction
// (coordinates with 8 decimals in the running language's number format); when editing of any
// field finishes the location is checked and stored, or the hint says why it was not.
// GUI thread only.
class ListeningLocationPanel : public QGroupBox
{
    Q_OBJECT

public:
    ListeningLocationPanel(QSettings &settings, QWidget *parent = nullptr);

    // The hint's normal text.
    static QString hintText();
    // The hint while the fields hold a coordinate that cannot be stored.
    static QString pendingText();

public slots:
    // Stores the trimmed name and each valid coordinate (an empty field removes its key) and
    // emits locationChanged; with an invalid coordinate stores nothing and shows pendingText.
    void saveListeningLocation();

signals:
    // The stored location changed: reports showing it are rebuilt.
    void locationChanged();

private:
    QSettings &m_settings;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_latitude = nullptr;
    QLineEdit *m_longitude = nullptr;
    QLabel *m_hint = nullptr;
};
