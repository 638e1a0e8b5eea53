#pragma once

#include "dsframe.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// The latest band-scope request and what came back: the frame being received, its raw bytes,
// the capture log and what the capture asked for and had confirmed. A capture and a service
// session's manual "DS" fill it; the plot and the export read it. GUI thread only.
struct ScopeRecord
{
    static constexpr int maxRawBytes = 65536;

    DsFrame frame;
    QByteArray raw;     // the bytes of the current DS as received, at most maxRawBytes
    QString captureLog; // capture log text (or the service log after a manual DS)
    QDateTime dsTime;   // when the DS was sent, then when its frame was processed (UTC)

    // What was requested; unknown after a manual "DS".
    bool manual = false;
    qint64 requestedCentreHz = 0;
    int requestedSpanCode = 0;
    bool peakHoldRequested = false;

    bool setupVerified = false; // the receiver confirmed centre and span
    int actualPeakHold = -1;    // from the verified status; -1 unknown
    qint64 lastDsDurationMs = 0;

    // Appends bytes to raw up to its bound; returns how many did not fit.
    int appendRaw(const QByteArray &bytes);
    // The capture log, "\n--- DS RAW ---\n" and the raw bytes as Latin-1 text with CR LF and
    // lone CRs turned into line feeds: what the log view shows after a capture.
    QString logViewText() const;
};

// Log texts: each line is appended with a line feed; a text longer than 262 144 characters is
// cut to its last 200 000, preceded by "[earlier log truncated]\n".
namespace ScopeLog {

constexpr int truncateAbove = 262144;
constexpr int keepCharacters = 200000;

void append(QString *log, const QString &line);
void appendRaw(QString *log, const QString &text); // without a line feed of its own
// "TX: %1 | HEX %2" and "RX ...": bytes as text (CR "<CR>", LF "<LF>", others outside
// 0x20-0x7E as "<XX>") and as lower-case hexadecimal pairs separated by blanks.
QString printable(const QByteArray &bytes);
QString hex(const QByteArray &bytes);

} // namespace ScopeLog

// Counts over a frame's bins (rows x 32, or 1024 while the row count is unknown).
struct ScopeFrameCounts
{
    int valid = 0;     // codes 2-15
    int zeros = 0;     // code 0
    int ones = 0;      // code 1
    int missing = 0;   // not received
    int saturated = 0; // code 15
    int omitted = 0;   // 1024 - bin count

    static ScopeFrameCounts of(const DsFrame &frame);
};
