#include "screenshottour.h"

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
    // The Propagation page shows a report (scripts/screenshots serves the data).
    if (auto *refresh = m_window->findChild<QPushButton *>(QStringLiteral("propagationRefresh")))
        refresh->click();
    QTimer::singleShot(settleMs, this, &ScreenshotTour::nextShot);
}

void ScreenshotTour::nextShot()
{
    QTabWidget *mainTab = m_window->mainTab();
    QTabWidget *controls = m_window->controlsTab();
    // Shots: every main page, then the Receiver page with each inner page.
    const int mainPages = mainTab->count();
    const int total = mainPages + controls->count();
    if (m_shot > 0) {
        const int previous = m_shot - 1;
        if (previous < mainPages)
            save(mainTab->widget(previous)->objectName());
        else
            save(QStringLiteral("Main-") + controls->widget(previous - mainPages)->objectName());
    }
    if (m_shot == total) {
        QTextStream(stdout) << m_saved << " screenshots in " << m_folder.absolutePath() << '\n';
        QApplication::quit();
        return;
    }
    if (m_shot < mainPages) {
        mainTab->setCurrentIndex(m_shot);
    } else {
        mainTab->setCurrentIndex(0);
        controls->setCurrentIndex(m_shot - mainPages);
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
