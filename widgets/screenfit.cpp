#include "screenfit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

void fitWindowToScreen(QWidget *window, const QSize &wanted)
{
    QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        window->resize(wanted);
        return;
    }
    QSize frame = window->frameGeometry().size() - window->geometry().size();
    if (!window->isVisible() || frame.isEmpty()) {
        const int border = window->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
        const int title = window->style()->pixelMetric(QStyle::PM_TitleBarHeight);
        frame = QSize(2 * border, title + 2 * border);
    }
    window->resize(wanted.boundedTo(screen->availableGeometry().size() - frame));
}
