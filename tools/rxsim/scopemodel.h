#pragma once

#include "scopefaults.h"

#include <QByteArray>
#include <QVector>

#include <array>
#include <random>

class BandPlan;
struct SimReply;

// Legal variations in how the band scope writes its replies.
struct ScopeVariants
{
    bool crlf = false;   // lines end in CR LF instead of CR
    bool lower = false;  // level digits in lower case
    bool blanks = false; // "DS1023 : 0123 4567 ..." with blanks before ":" and between groups
    bool echo = false;   // every band-scope command is echoed on a line of its own

    // "crlf,lower,blanks,echo" (any of them, comma-separated); false on an unknown name.
    static bool parse(const QString &list, ScopeVariants *variants);
};

// The simulated receiver's band scope: its centre, marker, span and peak hold, the "AM" status,
// and "DS" frames of level codes drawn from the band plan (stations at their frequencies and
// widths over a noisy floor; 1 outside 100 kHz - 3 GHz; now and then 0, a bin not measured; F
// where a station is strong), held at their peaks across frames while peak hold is on. Narrow
// spans send 4 rows (or 32 when asked), after a sweep time. Faults from ScopeFaultPlan. Pure
// logic without I/O; not thread-safe.
class ScopeModel
{
public:
    explicit ScopeModel(const BandPlan &plan);

    // Handles "AM", "CF", "SW", "MF", "PH0", "PH1" and "DS"; false for any other command.
    bool handle(const QByteArray &command, QVector<SimReply> *replies);
    // Every command passes here first: it may start the endless chatter.
    void noteCommand(const QByteArray &command);
    // The next frame of a streaming scope, or the next chatter line (empty when neither).
    QVector<SimReply> continueStream();
    bool streaming() const { return m_streaming || m_chattering; }
    // VF, EX or standby: the stream ends and the frames not yet sent are void.
    void stop();
    bool takeCancel();

    void setContinuous(bool on) { m_continuous = on; }
    void setRowIntervalMs(int ms) { m_rowMs = ms; }
    void setFrameGapMs(int ms) { m_gapMs = ms; }
    void setSweepMs(int ms) { m_sweepMs = ms; }
    void setNarrowRows(int rows) { m_narrowRows = rows == 32 ? 32 : 4; }
    void setVariants(const ScopeVariants &variants) { m_variants = variants; }
    void setChatterMs(int ms) { m_chatterMs = ms; }
    ScopeFaultPlan &faults() { return m_faults; }
    const ScopeFaultPlan &faults() const { return m_faults; }
    // Clears the faults and ends a chatter.
    void clearFaults();

    // The code a bin of the current setup shows, before peak hold (for tests).
    int levelCode(qint64 hertz);

private:
    QByteArray status(bool withMarker) const;
    QVector<SimReply> frame(int firstDelayMs);
    QByteArray row(int top, const std::array<int, 1024> &codes, int digits) const;
    SimReply line(const QByteArray &text, int delayMs = 0, bool scope = false) const;
    bool setCentre(const QByteArray &argument);
    void resetPeaks() { m_peaks.fill(-1); }

    const BandPlan &m_plan;
    ScopeFaultPlan m_faults;
    ScopeVariants m_variants;
    qint64 m_centre = 98000000;
    qint64 m_marker = 98000000;
    int m_span = 1;
    int m_peakHold = 0;
    std::array<int, 1024> m_peaks{};
    bool m_continuous = false;
    bool m_streaming = false;
    bool m_chattering = false;
    bool m_cancel = false;
    int m_rowMs = 20;
    int m_gapMs = 100;
    int m_sweepMs = 0;
    int m_narrowRows = 4;
    int m_chatterMs = 20;
    std::mt19937 m_random;
};
