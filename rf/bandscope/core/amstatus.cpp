#include "amstatus.h"

#include "scopespan.h"

#include <QList>

namespace {

constexpr qint64 lowestHz = 100000;
constexpr qint64 highestHz = 3000000000LL;

// The value of `digits` decimal digits after a two-letter tag, or -1 when the token is not
// exactly that.
qint64 taggedNumber(const QByteArray &token, int digits)
{
    if (token.size() != 2 + digits)
        return -1;
    qint64 value = 0;
    for (int i = 2; i < token.size(); ++i) {
        const char c = token[i];
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

AmStatus AmStatus::parse(const QByteArray &line)
{
    AmStatus status;
    QByteArray normalised = line;
    normalised.replace('\t', ' ');
    const QList<QByteArray> tokens = normalised.split(' ');
    bool first = true;
    for (const QByteArray &token : tokens) {
        if (token.isEmpty())
            continue;
        if (first) {
            if (token != "AM")
                return AmStatus{};
            first = false;
            continue;
        }
        const QByteArray tag = token.left(2);
        if (tag == "CF") {
            if (const qint64 hz = taggedNumber(token, 10); hz >= 0)
                status.centreHz = hz;
        } else if (tag == "MF") {
            if (const qint64 hz = taggedNumber(token, 10); hz >= 0)
                status.markerHz = hz;
        } else if (tag == "SW") {
            if (const qint64 code = taggedNumber(token, 1); code >= 0)
                status.spanCode = static_cast<int>(code);
        } else if (tag == "PH") {
            if (const qint64 hold = taggedNumber(token, 1); hold >= 0)
                status.peakHold = static_cast<int>(hold);
        }
    }
    return first ? AmStatus{} : status;
}

bool AmStatus::isValid() const
{
    return centreHz >= lowestHz && centreHz <= highestHz && markerHz >= lowestHz &&
           markerHz <= highestHz && ScopeSpan::isValidCode(spanCode) &&
           (peakHold == 0 || peakHold == 1);
}
