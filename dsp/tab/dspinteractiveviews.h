#pragma once

#include "bandselection.h"

#include <QWidget>

#include <memory>

class EventsTable;
class LevelView;
class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTabWidget;
class SpectrogramView;
class SpectrumView;
namespace NativeWav {
struct Result;
}

// The DSP tab's interactive views of the held analysis result: the pages Spectrogram, Spectrum,
// Audio level and Events ("dspInteractiveTabs"), the band boxes with "Analyze selected band" and
// "Reset zoom", and the info line. A band is picked with Ctrl + click on the spectrogram or the
// spectrum (or B at the event marker), highlighted on both, and can filter the event table; a
// table row shows its pulse's details and, on double click or Enter, zooms the spectrogram to
// it. Holds the result in shared ownership; never changes it. GUI thread only.
class DspInteractiveViews : public QWidget
{
    Q_OBJECT

public:
    explicit DspInteractiveViews(QWidget *parent = nullptr);

    // The tab's state: while a job runs (or without a result) the pages and band controls are
    // disabled and band picks are ignored.
    void setJobRunning(bool running);
    bool hasResult() const { return m_result != nullptr; }
    const std::shared_ptr<const NativeWav::Result> &result() const { return m_result; }

    // The band boxes' values, and their values before any result (the analysed band).
    AudioBand band() const;
    void setInitialBand(int lowHz, int highHz);
    void showInfo(const QString &text);
    // Where plot exports go by default: folder/stem_<view>.<png|svg>.
    void setExportDefaults(const QString &folder, const QString &stem);

    QPushButton *analyzeBandButton() const { return m_analyzeBand; }
    SpectrogramView *spectrogram() const { return m_spectrogram; }
    SpectrumView *spectrum() const { return m_spectrum; }
    LevelView *level() const { return m_level; }
    EventsTable *events() const { return m_events; }

public slots:
    // Shows a new result in every view (after a successful job).
    void populateInteractiveViews(std::shared_ptr<const NativeWav::Result> result);
    void updateBandHighlight();
    void refreshEventsTable();
    void showEventDetails(int row, bool locate);
    // Picks the band around an audio frequency; seconds >= 0 when the pick came from the
    // spectrogram at that time.
    void selectBandAt(double hertz, double seconds);
    void resetDspZoom();

signals:
    void logMessage(const QString &message);

private:
    QWidget *buildPlotPage(const char *name, QWidget *plot, const char *hintName,
                           const QString &hint);
    QWidget *buildEventsPage();
    void updateEnabledState();
    QString summaryText() const;

    std::shared_ptr<const NativeWav::Result> m_result;
    bool m_jobRunning = false;

    QTabWidget *m_tabs;
    SpectrogramView *m_spectrogram;
    SpectrumView *m_spectrum;
    LevelView *m_level;
    EventsTable *m_events;
    QCheckBox *m_onlyBand;
    QLabel *m_eventHint;
    QSpinBox *m_bandLow;
    QSpinBox *m_bandHigh;
    QPushButton *m_analyzeBand;
    QPushButton *m_resetZoom;
    QLabel *m_info;
};
