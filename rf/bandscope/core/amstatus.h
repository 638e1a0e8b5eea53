#pragma once

#include <QByteArray>
#include <QtGlobal>

// One band-scope status reply to "AM": "AM CF0098000000 SW1 MF0098000000 PH0". Tokens are
// separated by blanks; "CF" and "MF" take exactly ten digits (Hz), "SW" and "PH" exactly one.
// Unknown or misshapen tokens are ignored; a line whose first token is not "AM" gives all -1.
struct AmStatus
{
    qint64 centreHz = -1;
    qint64 markerHz = -1;
    int spanCode = -1;
    int peakHold = -1;

    static AmStatus parse(const QByteArray &line);

    // Centre and marker within 100 kHz - 3 GHz, span code 1-7, peak hold 0 or 1.
    bool isValid() const;

    bool operator==(const AmStatus &other) const
    {
        return centreHz == other.centreHz && markerHz == other.markerHz &&
               spanCode == other.spanCode && peakHold == other.peakHold;
    }
};
