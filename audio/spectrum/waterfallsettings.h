#pragma once

#include <QFrame>

class QCheckBox;
class QComboBox;
class QSettings;
class QSpinBox;

// The "Audio waterfall" group of the Settings page (`waterfallPanel`): show the waterfall,
// archive live FFT frames, the displayed range, colour scale, history, update rate, display
// height and palette. It holds the controls and their settings keys ("Waterfall/Enabled",
// "Waterfall/ArchiveLiveFft", "Waterfall/Palette" and "Waterfall/" + each spin box's object
// name); the spectrum tab applies them. GUI thread only.
class WaterfallSettings : public QFrame
{
    Q_OBJECT

public:
    explicit WaterfallSettings(QWidget *parent = nullptr);

    // Reads every key (missing keys keep the defaults; the palette is clamped to the list)
    // without emitting change signals.
    void load(QSettings &settings);
    void store(QSettings &settings) const;

    // Keeps each low limit below its high one: the low spin boxes' maxima and the high spin
    // boxes' minima follow each other, with the signals blocked.
    void crossLimitRanges();

    bool waterfallEnabled() const;
    bool archiveEnabled() const;
    int lowHz() const;
    int highHz() const;
    int floorDb() const;
    int ceilingDb() const;
    int historySeconds() const;
    int rowsPerSecond() const;
    int heightPercent() const;
    int palette() const;
    // Sets the display height from a splitter moved by hand, without heightChanged.
    void setHeightPercent(int percent);

    QSpinBox *lowHzBox() const { return m_lowHz; }
    QSpinBox *highHzBox() const { return m_highHz; }
    QSpinBox *floorBox() const { return m_lowDb; }
    QSpinBox *ceilingBox() const { return m_highDb; }
    QSpinBox *secondsBox() const { return m_seconds; }
    QSpinBox *rateBox() const { return m_rate; }
    QSpinBox *heightBox() const { return m_height; }
    QComboBox *paletteBox() const { return m_palette; }
    QCheckBox *enabledBox() const { return m_enabled; }
    QCheckBox *archiveBox() const { return m_archive; }

signals:
    // One of the six range, level and time spin boxes or the palette changed.
    void displayChanged();
    void enabledToggled(bool on);
    void heightChanged(int percent);
    void archiveToggled(bool on);

private:
    QSpinBox *spinBox(const char *name, int low, int high, int value, const QString &suffix);

    QCheckBox *m_enabled = nullptr;
    QCheckBox *m_archive = nullptr;
    QSpinBox *m_lowHz = nullptr;
    QSpinBox *m_highHz = nullptr;
    QSpinBox *m_lowDb = nullptr;
    QSpinBox *m_highDb = nullptr;
    QSpinBox *m_seconds = nullptr;
    QSpinBox *m_rate = nullptr;
    QSpinBox *m_height = nullptr;
    QComboBox *m_palette = nullptr;
};
