#include "screenshottour.h"

#include "bandscopetab.h"
#include "corvin.h"
#include "receivercontrol.h"

#include <QApplication>
#include <QPushButton>
#include <QTabWidget>
#include <QTextStream>
#include <QTimer>

namespace {
constexpr int startDelayMs = 800;
constexpr int settleMs = 4000; // several poll ticks: the tune and at least one S-meter read
constexpr int pageMs = 600;
constexpr int scopeCheckMs = 500;
constexpr int scopeChecks = 240; // two minutes at most
constexpr int scopeSweeps = 24;  // waterfall rows before the capture is stopped
} // namespace

ScreenshotTour::ScreenshotTour(Corvin *window, const QString &folder, QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_folder(folder)
{}

void ScreenshotTour::start()
{
    m_folder.mkpath(QStringLiteral("."));
    QTimer::singleShot(startDelayMs, this, &ScreenshotTour::connectAndTune);
}

void ScreenshotTour::connectAndTune()
{
    auto *openPB = m_window->findChild<QPushButton *>(QStringLiteral("openPB"));
    if (openPB && openPB->isEnabled() && !openPB->isChecked())
        openPB->click();
    ReceiverControl &receiver = m_window->receiverControl();
    receiver.setModeIndex(stationMode, true);
    receiver.setCurrentFrequency(stationHertz);
    receiver.queueTune(stationHertz);
    QTimer::singleShot(settleMs, this, &ScreenshotTour::captureBandScope);
}

void ScreenshotTour::captureBandScope()
{
    auto *run = m_window->findChild<QPushButton *>(QStringLiteral("bandScopeRun"));
    if (!run || !run->isEnabled()) {
        nextShot();
        return;
    }
    m_window->mainTab()->setCurrentWidget(
        m_window->findChild<QWidget *>(QStringLiteral("RxBandScope")));
    run->click();
    QTimer::singleShot(scopeCheckMs, this, &ScreenshotTour::watchBandScope);
}

// Stops the continuous capture once the waterfall has enough rows (Stop ends it after the
// current frame), then goes on when it has ended.
void ScreenshotTour::watchBandScope()
{
    auto *tab = m_window->findChild<BandScopeTab *>();
    if (!tab->isCapturing() || ++m_scopeChecks > scopeChecks) {
        tab->capture().finish(QStringLiteral("Stopped by user."));
        nextShot();
        return;
    }
    if (tab->history().size() >= scopeSweeps && !tab->capture().isStopPending())
        tab->stopCapture();
    QTimer::singleShot(scopeCheckMs, this, &ScreenshotTour::watchBandScope);
}

void ScreenshotTour::nextShot()
{
    QTabWidget *mainTab = m_window->mainTab();
    QTabWidget *controls = m_window->controlsTab();
    auto *scopeViews = m_window->findChild<QTabWidget *>(QStringLiteral("bandScopeViews"));
    QWidget *scopePage = m_window->findChild<QWidget *>(QStringLiteral("RxBandScope"));
    // Shots: every main page, then the Receiver page with each inner page, then the band
    // scope's serial diagnostics.
    const int mainPages = mainTab->count();
    const int total = mainPages + controls->count() + 1;
    if (m_shot > 0) {
        const int previous = m_shot - 1;
        if (previous < mainPages)
            save(mainTab->widget(previous)->objectName());
        else if (previous < total - 1)
            save(QStringLiteral("Main-") + controls->widget(previous - mainPages)->objectName());
        else
            save(QStringLiteral("RxBandScope-SerialDiagnostics"));
    }
    if (m_shot == total) {
        QTextStream(stdout) << m_saved << " screenshots in " << m_folder.absolutePath() << '\n';
        QApplication::quit();
        return;
    }
    if (m_shot < mainPages) {
        mainTab->setCurrentIndex(m_shot);
    } else if (m_shot < total - 1) {
        mainTab->setCurrentIndex(0);
        controls->setCurrentIndex(m_shot - mainPages);
    } else {
        mainTab->setCurrentWidget(scopePage);
        scopeViews->setCurrentIndex(1);
    }
    ++m_shot;
    QTimer::singleShot(pageMs, this, &ScreenshotTour::nextShot);
}

void ScreenshotTour::save(const QString &name)
{
    const QString file = m_folder.filePath(
        QStringLiteral("%1-%2.png").arg(m_saved + 1, 2, 10, QLatin1Char('0')).arg(name));
    if (m_window->grab().save(file))
        ++m_saved;
    else
        QTextStream(stderr) << "could not write " << file << '\n';
}
