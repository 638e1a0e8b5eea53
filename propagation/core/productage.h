#pragma once

#include <QDateTime>
#include <QString>
#include <QVector>

struct PropagationData;

// How old each product of a record is, by the product's own time: HamQSL's "updated", the Kp
// estimate's and the F10.7 observation's time tags, the WWV bulletin's ":Issued:" line. A
// product is stale past its limit (HamQSL and WWV 6 h, Kp 3 h, F10.7 36 h: each is refreshed
// at about a third of that); a time more than 10 minutes ahead of the clock is flagged.
struct ProductAge
{
    QString source;        // "HamQSL", "NOAA Kp", "NOAA F10.7", "NOAA WWV"
    QDateTime time;        // UTC; invalid when the record lacks the product or its time
    double hours = 0.0;    // now - time, negative for a future time
    double limitHours = 0; // stale past this age
    bool stale = false;
    bool future = false;

    bool present() const { return time.isValid(); }
};

// The four products in the sources' order, aged at now (UTC).
QVector<ProductAge> productAges(const PropagationData &data, const QDateTime &now);
