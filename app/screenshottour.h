#pragma once

#include <QDir>
#include <QObject>
#include <QVector>

#include <functional>

class Corvin;

// A guided tour for documentation screenshots: connects to the first listed serial port
// (normally the simulated receiver), sweeps 88-108 MHz on the Frequency Spectrum Analyzer page,
// adds two measured favourites and writes their report, runs a short Smart Scan and adds its
// detected results to the favourites, runs the RF synthetic sweep its stored
// settings describe and writes its CSV into the folder's "files", tunes to a station, switches
// the audio spectrum on, refreshes the propagation report, runs a continuous band-scope capture
// at the stored centre and span until its waterfall fills, then saves a PNG of every page of the
// main tab widget (the DSP page with its analysed recording in several scenes, the band scope with
// its serial diagnostics too) and of the Receiver page's inner tabs into a folder, saves a
// spectrum snapshot, switches the spectrum off (which closes its FFT archive) and quits the
// application. The two HTML reports stay in the data folder (scripts/screenshots photographs them
// with a browser). When the simulator's audio control FIFO is named in CORVIN_RXSIM_CONTROL, the
// tour also arms the anomaly panel with automatic capture, photographs it ready, provokes an
// anomaly through the FIFO, photographs the feature bank while a metric is active and the saved
// event, then the detector settings dialog, the replay of that event run to its end, the event
// archive after labelling the event a false alarm, and the observation statistics of the event's
// context. Started by the command-line option --screenshots DIR.
class ScreenshotTour : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 stationHertz = 999000; // an AM broadcast station of the simulator
    static constexpr int stationMode = 2;          // AM
    // The short Smart Scan over the simulator's stations of every signal class (quiet carrier,
    // keyed emission, tone, speech, noise).
    static constexpr double smartScanStartMHz = 90.8;
    static constexpr double smartScanEndMHz = 96.3;

    ScreenshotTour(Corvin *window, const QString &folder, QObject *parent = nullptr);

    void start();

private:
    struct Shot
    {
        QString name;
        std::function<void()> setUp;
    };

    void planShots();
    void connectAndSweep();
    void addFavorite(qint64 hertz, const QString &name);
    void addFavorites();
    void smartScan();
    void syntheticSweep();
    void tuneToStation();
    void setAudioSpectrum(bool on);
    void captureBandScope();
    void watchBandScope();
    void nextShot();
    void armAnomalyCapture();
    void provokeAnomaly();
    void waitForSavedEvent();
    void showAnomalyTools();
    void waitForReplay();
    void reviewSavedEvent();
    void showStatistics();
    void finish();
    // A PNG of the widget (default: the main window).
    void save(const QString &name, QWidget *widget = nullptr);

    Corvin *m_window;
    QDir m_folder;
    QVector<Shot> m_shots;
    int m_shot = 0;
    int m_favorites = 0;
    int m_scopeChecks = 0;
    int m_saved = 0;
    int m_waits = 0;
    bool m_featureBankSaved = false;
};
