#pragma once

#include "scopelinebuffer.h"

#include <QByteArray>

#include <array>

// The band-scope frame being received after a "DS": up to 32 rows "DSnnnn[:]" + 32 hexadecimal
// level codes, top row first (DS1023 for a frame of 32 rows, DS0127 for one of 4). Every row
// must be the next one expected and fill bins still empty; anything else is malformed. A "?"
// line marks the request rejected; other lines (echoes, status lines) are ignored.
//
// Codes: -1 not received, 0 not measured, 1 out of range, 2-15 measured levels. Not
// thread-safe.
class DsFrame
{
public:
    static constexpr int maxBins = 1024;
    static constexpr int rowBins = 32;
    static constexpr int wideRows = 32;
    static constexpr int narrowRows = 4;

    DsFrame() { reset(0); }

    // Clears the frame for a new "DS". Span codes 1-5 expect 32 rows; codes 6 and 7, and 0 (a
    // manual "DS" with no span known), leave the row count to the first row.
    void reset(int spanCode);
    // Feeds bytes as they arrive, in chunks of any size.
    void feed(const QByteArray &bytes);

    // Rows known, all received, nothing malformed or rejected, no partial line waiting.
    bool isComplete() const;
    // rows x 32, or 1024 while the row count is not known.
    int binCount() const { return rows > 0 ? rows * rowBins : maxBins; }
    // The line buffer's incomplete line and its overflow state.
    const ScopeLineBuffer &lineBuffer() const { return m_lines; }

    std::array<int, maxBins> codes{};
    int rowsReceived = 0;
    int malformed = 0;
    bool rejected = false;
    int rows = 0; // expected rows: 32, 4, or 0 while unknown

private:
    void judge(const QByteArray &line);
    // The row's top bin and its 32 codes (first digit = top bin); false when malformed.
    static bool parseRow(const QByteArray &line, int start, int *top,
                         std::array<int, rowBins> *rowCodes);

    ScopeLineBuffer m_lines;
};
