#pragma once

#include <QDateTime>
#include <QMap>
#include <QMetaType>
#include <QPair>
#include <QString>
#include <QStringList>

// One refresh of the four space-weather products, merged into one value record. Copied when
// emitted; no behaviour beyond the "has data" rule. Times are UTC; an invalid time means the
// product did not give one.
struct PropagationData
{
    QDateTime retrieved;     // when the refresh finished (all four sources answered or failed)
    QDateTime hamqslUpdated; // HamQSL "updated"
    QDateTime fluxTime;      // NOAA noon F10.7 observation used
    QDateTime kpTime;        // NOAA Kp estimate used

    double solarFlux = 0.0; // sfu; NOAA F10.7 when fluxTime is valid, else HamQSL
    bool solarFluxValid = false;
    int aIndex = 0; // HamQSL A index, 0-400
    bool aIndexValid = false;
    int kIndex = 0; // HamQSL K index, 0-9
    bool kIndexValid = false;
    double kp = 0.0; // NOAA estimated planetary Kp, 0-9
    bool kpValid = false;
    double solarWind = 0.0; // HamQSL, km/s
    bool solarWindValid = false;
    QString xray; // HamQSL X-ray class ("C1.2"), empty when absent

    // HamQSL calculated conditions: band name ("80m-40m") -> (day text, night text), ordered
    // by name.
    QMap<QString, QPair<QString, QString>> bands;
    QString wwv;        // NOAA WWV bulletin text, empty when absent
    QStringList errors; // "<source name>: <error text>", one per failed source, sorted

    // True when any index is valid or the X-ray class, the bands or the bulletin is present.
    bool hasData() const;

    bool operator==(const PropagationData &other) const;
    bool operator!=(const PropagationData &other) const { return !(*this == other); }
};

Q_DECLARE_METATYPE(PropagationData)

// The result of one download: the body on success (error empty), or an empty body and the
// error text.
struct Download
{
    QByteArray body;
    QString error;
};
