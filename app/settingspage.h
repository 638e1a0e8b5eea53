#pragma once

#include "receiverpanelui.h"

#include <QWidget>

class QPlainTextEdit;
class QVBoxLayout;

// The content of the Settings page, top to bottom: the listening location, the receiver
// connection panel `serialPanel`, the scan panel `scanPanel`, the audio waterfall panel,
// the data folder button `openDataFolderPB`, language and help, and the log view `logText`.
// Panels owned by other features are placed with the add* functions.
class SettingsPage : public QWidget
{
    Q_OBJECT

public:
    // Lines kept in the on-screen log.
    static constexpr int logLines = 1500;

    explicit SettingsPage(QWidget *parent = nullptr);

    void addLocationPanel(QWidget *panel);
    void addSharingPanel(QWidget *panel);
    void addWaterfallPanel(QWidget *panel);
    void addLanguagePanel(QWidget *panel);

    // The connection and scan widgets, for the receiver panel.
    void fillPanelUi(ReceiverPanelUi &ui) const;

    QPlainTextEdit *logView() const { return m_logText; }
    // Appends one finished line to the on-screen log.
    void appendLogLine(const QString &line);

signals:
    void openDataFolderRequested();

private:
    QWidget *buildSerialPanel();
    QWidget *buildScanPanel();

    QVBoxLayout *m_locationSlot = nullptr;
    QVBoxLayout *m_sharingSlot = nullptr;
    QVBoxLayout *m_waterfallSlot = nullptr;
    QVBoxLayout *m_languageSlot = nullptr;
    QComboBox *m_serialCB = nullptr;
    QPushButton *m_openPB = nullptr;
    QCheckBox *m_standbyOnDisconnect = nullptr;
    QSpinBox *m_scanLevelSB = nullptr;
    QPlainTextEdit *m_logText = nullptr;
};
