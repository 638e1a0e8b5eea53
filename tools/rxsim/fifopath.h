#pragma once

#include <QString>

// Makes sure a FIFO exists at path: creates it (mode 0600) when nothing is there, accepts an
// existing FIFO, and fails with a message for anything else or when it cannot be created.
bool ensureFifo(const QString &path, QString *error);
