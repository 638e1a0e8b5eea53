#pragma once

// The Greyline page: the world map with the terminator at the chosen UTC minute, the listening
// site (RX, from the listening location in Settings) and a remote point (DX), and the day's
// grey-line listening windows at RX, at DX and at both. Live UTC follows the clock once a
// minute while the page is visible; otherwise the date, time and slider choose the minute.
// Every date and time here is UTC. GUI thread only.

#include "greylineplanner.h"
#include "greylineshading.h"
#include "propagationsite.h"

#include <QDateTime>
#include <QWidget>

#include <functional>

class GreyMap;
class QCheckBox;
class QDateEdit;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QSettings;
class QSlider;
class QTabWidget;
class QTimeEdit;
class QTimer;

class GreyPanel : public QWidget
{
    Q_OBJECT

public:
    using SiteProvider = std::function<PropagationSite()>;
    using Clock = std::function<QDateTime()>;

    // settings: the program's settings store, not owned, outlives the panel. siteProvider: the
    // listening location, asked afresh at every recomputation. italian: the texts' language.
    // mapPath: the world map image (the program's own by default). Loads the band and DX
    // controls from the settings (writing nothing back), starts in Live UTC and starts the
    // live timer.
    GreyPanel(QSettings &settings, SiteProvider siteProvider, bool italian,
              QWidget *parent = nullptr, const QString &mapPath = Greyline::worldMapResource);

    // Builds the page in a frameless scroll area named "Greyline", inserts it into mainTab
    // right after the page named "Propagation" (at the end when there is none), and brings it
    // up to date whenever the tab widget switches to it.
    static GreyPanel *addPage(QTabWidget &mainTab, QSettings &settings, SiteProvider siteProvider,
                              bool italian);

    // Sets the date, time and slider to the current UTC minute without their reactions.
    void syncToNow();
    // Re-shades the map, moves the markers, rewrites the status and the window lists; plans
    // the day again only when the plan's inputs changed.
    void recomputeGreyline();
    // Stores the band and the DX point, then recomputes.
    void saveGreylineSettings();
    // The page became current: Live UTC catches up with the clock, then recompute.
    void pageShown();

    // Where "now" comes from; current UTC unless a test replaces it.
    void setClock(Clock clock) { m_clock = std::move(clock); }
    // How often the day was planned (the plan is reused while its inputs stay the same).
    int planCount() const { return m_planCount; }

private:
    void buildControls(const QString &mapPath);
    void loadSettings();
    void connectReactions();
    void liveToggled(bool checked);
    void nowClicked();
    void timeChanged();
    void sliderMoved(int minute);
    void liveTick();
    QString text(const char *english, const char *italian) const;
    QString degrees(double value) const;

    QSettings &m_settings;
    SiteProvider m_siteProvider;
    bool m_italian;
    Clock m_clock;

    QCheckBox *m_live = nullptr;
    QDateEdit *m_date = nullptr;
    QTimeEdit *m_time = nullptr;
    QPushButton *m_now = nullptr;
    QDoubleSpinBox *m_low = nullptr;
    QDoubleSpinBox *m_high = nullptr;
    QSlider *m_slider = nullptr;
    GreyMap *m_map = nullptr;
    QLabel *m_legend = nullptr;
    QLabel *m_status = nullptr;
    QCheckBox *m_dx = nullptr;
    QDoubleSpinBox *m_dxLatitude = nullptr;
    QDoubleSpinBox *m_dxLongitude = nullptr;
    QLabel *m_rxWindows = nullptr;
    QLabel *m_dxWindows = nullptr;
    QLabel *m_bothWindows = nullptr;
    QLabel *m_best = nullptr;
    QLabel *m_footer = nullptr;
    QTimer *m_liveTimer = nullptr;

    bool m_planValid = false;
    Greyline::GreylinePlanInputs m_planInputs;
    Greyline::GreylinePlan m_plan;
    int m_planCount = 0;
};
