#pragma once

#include <QString>
#include <QVector>

// The spectrum snapshot's CSV file: the header "frequency_hz,level_dbfs", then one line per
// bin, each number written with a decimal point and up to six significant digits (11.7188,-100).
// Written through an atomic save file: the target appears complete or not at all. UI-free.
namespace SpectrumSnapshot {

enum class Result { Saved, OpenFailed, WriteFailed };

// Writes the bins of frequencies (Hz) and levels (dBFS), pairs up to the shorter vector. On
// failure *error holds the file's error text.
Result writeCsv(const QString &path, const QVector<double> &frequencies,
                const QVector<double> &levels, QString *error);

} // namespace SpectrumSnapshot
