#pragma once

#include <QDir>
#include <QObject>

class Corvin;

// A guided tour for documentation screenshots: connects to the first listed serial port
// (normally the simulated receiver), tunes to a station, runs a continuous band-scope capture
// at the stored centre and span until its waterfall fills, then saves a PNG of every page of
// the main tab widget, of the Receiver page's inner tabs and of the band scope's serial
// diagnostics into a folder, and quits the application. Started by the command-line option
// --screenshots DIR.
class ScreenshotTour : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 stationHertz = 999000; // an AM broadcast station of the simulator
    static constexpr int stationMode = 2;          // AM

    ScreenshotTour(Corvin *window, const QString &folder, QObject *parent = nullptr);

    void start();

private:
    void connectAndTune();
    void captureBandScope();
    void watchBandScope();
    void nextShot();
    void save(const QString &name);

    Corvin *m_window;
    QDir m_folder;
    int m_shot = 0;
    int m_scopeChecks = 0;
    int m_saved = 0;
};
