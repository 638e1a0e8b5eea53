#pragma once

#include <QString>
#include <QtGlobal>

// Conversions between receiver values and what the receiver panel shows. UI-free.
namespace ReceiverReadout {

constexpr qint64 minimumFrequency = 100000;     // Hz, lowest frequency the receiver accepts
constexpr qint64 maximumFrequency = 3000000000; // Hz, highest frequency the receiver accepts

// Step list values in Hz, indexed like the step list.
constexpr int stepCount = 19;
qint64 stepHertz(int index); // index clamped to the list

// Limits a frequency to the receiver's range.
qint64 clampFrequency(qint64 hertz);

// Whole hertz from megahertz, rounded half away from zero.
qint64 hertzFromMegahertz(double megahertz);

// "89.100000" for 89 100 000 Hz: whole megahertz, a point, the rest as six digits.
QString frequencyText(qint64 hertz);

// "000" to "255"; "---" for a negative (unknown) level.
QString levelText(int level);

// S-meter needle value 1 to 15 for a level 0-255; negative levels count as 0.
double meterValue(int level);

// A stored list index limited to 0 ... count - 1.
int clampIndex(int index, int count);

} // namespace ReceiverReadout
