#pragma once

#include "analysisresult.h"

#include <QFrame>

class QLineEdit;
class QPushButton;
class QSettings;
class QSpinBox;

// The DSP tab's file and parameter rows ("dspPanel"): the WAV path with its browse button, the
// audio channel, the pulse contrast and the analysed audio band. Restores its values from the
// settings and stores them when an analysis starts. GUI thread only.
class DspControls : public QFrame
{
    Q_OBJECT

public:
    explicit DspControls(QWidget *parent = nullptr);

    // "DSP/Channel", "DSP/Contrast", "DSP/LowHz", "DSP/HighHz" and "DSP/LastWav"; missing or
    // unreadable values give the defaults (0, 12, 80, 6000, empty).
    void restoreSettings(QSettings &settings);
    // Stores the four numeric values (not the path, which is stored when it is chosen).
    void storeSettings(QSettings &settings) const;

    // The request the boxes describe, for the recording at wavPath.
    NativeWav::AnalysisRequest request(const QString &wavPath) const;

    QLineEdit *wavPath() const { return m_wavPath; }
    QPushButton *browseButton() const { return m_browse; }
    QSpinBox *channel() const { return m_channel; }
    QSpinBox *contrast() const { return m_contrast; }
    QSpinBox *lowHz() const { return m_lowHz; }
    QSpinBox *highHz() const { return m_highHz; }

private:
    QLineEdit *m_wavPath;
    QPushButton *m_browse;
    QSpinBox *m_channel;
    QSpinBox *m_contrast;
    QSpinBox *m_lowHz;
    QSpinBox *m_highHz;
};
