#pragma once

#include "audiorecorder.h"
#include "fftarchivewriter.h"
#include "waterfallsettings.h"

#include <QPointer>
#include <QVector>
#include <QWidget>

class CorvinHost;
class QLabel;
class QPushButton;
class QSplitter;
class QwtPlot;
class StickPlot;
class WaterfallWidget;

// The Audio Spectrum page: the live spectrum of the audio input as a line plot with the
// waterfall below it, the live FFT archive and the spectrum snapshot. Frames come from the
// recorder's spectrumReady; the audio panel's state refreshes (audioStateRefreshed) say whether
// the spectrum is on and at which rate. The Settings page's "Audio waterfall" group
// (settingsPanel) holds the waterfall's and the archive's options; the window places it.
//
// Files: data/spectrum/fft_<run stamp>.jsonl (one per spectrum session), and
// spectrum_<run stamp>.csv with its .png beside it for each snapshot. GUI thread only.
class SpectrumTab : public QWidget
{
    Q_OBJECT

public:
    explicit SpectrumTab(CorvinHost &host, QWidget *parent = nullptr);
    ~SpectrumTab() override;

    // The "Audio waterfall" settings group, for the Settings page.
    WaterfallSettings *settingsPanel() const { return m_settings; }
    // Reads the stored settings, applies them, connects the host's recorder and registers the
    // shutdown steps. Call once, after the recorder runs on its thread.
    void start();

    WaterfallWidget *waterfall() const { return m_waterfall; }
    QwtPlot *plot() const { return m_plot; }
    const FftArchiveWriter &archive() const { return m_archive; }
    double nyquist() const { return m_nyquist; }

public slots:
    // The spectrum part of the audio panel's status refresh.
    void followAudioState(const AudioRecorderState &state);
    // A frame from the recorder (frequencies in Hz, magnitudes in dBFS).
    void showSpectrum(const QVector<double> &frequencies, const QVector<double> &magnitudes);
    // Applies the waterfall controls to the waterfall and the plot; fromControl stores them.
    void applyWaterfallSettings(bool fromControl = false);
    void applyWaterfallHeight();
    void saveSpectrumSnapshot();
    void closeFftArchive();

private:
    void buildUi();
    void connectSettings();
    void appendFftFrame(const QVector<double> &frequencies, const QVector<double> &magnitudes);
    void updateRowTimer();
    void onSplitterMoved();
    void storeSettings();

    CorvinHost &m_host;
    QPointer<WaterfallSettings> m_settings;
    QLabel *m_status = nullptr;
    QSplitter *m_splitter = nullptr;
    QwtPlot *m_plot = nullptr;
    StickPlot *m_stickPlot = nullptr;
    WaterfallWidget *m_waterfall = nullptr;
    QPushButton *m_saveButton = nullptr;

    QVector<double> m_frequencies;
    QVector<double> m_magnitudes;
    double m_nyquist = 0.0;
    bool m_spectrumOn = false;
    FftArchiveWriter m_archive;
};
