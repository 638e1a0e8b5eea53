#pragma once

#include <QSize>

class QWidget;

// Resizes a top-level window to `wanted`, reduced to fit the available area of its screen
// less the window frame. Before the window is shown the frame is estimated from the style.
void fitWindowToScreen(QWidget *window, const QSize &wanted);
