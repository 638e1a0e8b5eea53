#include "dspshowcase.h"

#include "analysisresult.h"
#include "dspinteractiveviews.h"
#include "dsptab.h"
#include "eventstable.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTabWidget>

namespace DspShowcase {

namespace {

void waitForResult(DspTab &tab)
{
    QElapsedTimer clock;
    clock.start();
    while (tab.isRunning() && clock.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
}

void showView(DspTab &tab, int index)
{
    waitForResult(tab);
    if (auto *views = tab.findChild<QTabWidget *>(QStringLiteral("dspInteractiveTabs")))
        views->setCurrentIndex(index);
}

// The band of the first pulse train (or around the first pulse), and the marker on the pulse in
// the middle of the table.
void markBandAndPulse(DspTab &tab)
{
    waitForResult(tab);
    DspInteractiveViews *views = tab.views();
    if (!views->hasResult() || views->events()->rowCount() == 0)
        return;
    const NativeWav::Result &result = *views->result();
    const double hertz =
        result.trains.empty() ? result.events.front().frequencyHz : result.trains.front().bandHz;
    views->selectBandAt(hertz, -1.0);
    views->showEventDetails(views->events()->rowCount() / 2, false);
}

} // namespace

void start(DspTab &tab)
{
    if (QFileInfo(tab.wavPath()).isFile())
        tab.startDspAnalysis();
}

QVector<Scene> scenes(DspTab &tab)
{
    DspTab *page = &tab;
    return {
        {QString(),
         [page] {
             markBandAndPulse(*page);
             showView(*page, 0);
         }},
        {QStringLiteral("Spectrum"), [page] { showView(*page, 1); }},
        {QStringLiteral("Level"), [page] { showView(*page, 2); }},
        {QStringLiteral("Events"), [page] { showView(*page, 3); }},
        {QStringLiteral("Located"),
         [page] {
             waitForResult(*page);
             if (page->views()->events()->rowCount() > 0)
                 page->views()->showEventDetails(page->views()->events()->rowCount() / 2, true);
         }},
    };
}

} // namespace DspShowcase
