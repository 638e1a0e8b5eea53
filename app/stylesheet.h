#pragma once

#include <QString>

// The application style sheet, installed once at start. Selectors use the fixed object
// names of the main window's widgets.
QString applicationStyleSheet();
