#pragma once

#include <QString>
#include <QtGlobal>

// The receiver's band-scope spans ("SW" codes 1-7) and the nominal RF mapping of a frame's
// bins. Codes 1-5 are wide spans on a 10 kHz grid (frames of 32 rows, centre bin 512); codes
// 6 and 7 are narrow spans on a 2 kHz grid (4 or 32 rows, centre bin 64). The mapping is the
// receiver manual's provisional one: f(i) = centre + (i - centre bin) x step. Pure functions.
namespace ScopeSpan {

constexpr int firstCode = 1;
constexpr int lastCode = 7;
constexpr int defaultCode = 7;
constexpr double defaultCenterMHz = 4.65;
constexpr int binCount = 1024; // bins of a frame of 32 rows
constexpr int rowBins = 32;    // bins of one DS row

struct Span
{
    int code = 0;
    qint64 spanHz = 0;
    qint64 stepHz = 0; // nominal bin step
    int centreBin = 0;
};

// The span of a code; a code outside 1-7 gives an all-zero Span.
Span span(int code);
bool isValidCode(int code);
// A stored code brought into 1-7.
int clampCode(int code);
// Codes 1-5 always send 32 rows.
bool isWide(int code);

// "%1 kHz  (%2 kHz)": span and step in kHz ("100 kHz  (2 kHz)").
QString comboText(int code);

// The centre rounded to the span's grid: floor(MHz x 10^6 / step + 0.5) x step, in Hz.
qint64 roundCentre(double centreMHz, int code);

// Nominal RF frequency of bin i (Hz) for a capture at centreHz with this span code.
qint64 nominalHz(int bin, qint64 centreHz, int code);
// Whether bin i lies in centre +- span/2 (span/2 truncated to whole Hz).
bool inNominalSpan(int bin, qint64 centreHz, int code);

} // namespace ScopeSpan
