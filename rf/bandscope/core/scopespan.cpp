#include "scopespan.h"

#include <array>
#include <cmath>

namespace ScopeSpan {

namespace {

constexpr qint64 wideStep = 10000;
constexpr qint64 narrowStep = 2000;

const std::array<Span, lastCode> spans = {{
    {1, 10000000, wideStep, 512},
    {2, 5000000, wideStep, 512},
    {3, 2000000, wideStep, 512},
    {4, 1000000, wideStep, 512},
    {5, 500000, wideStep, 512},
    {6, 200000, narrowStep, 64},
    {7, 100000, narrowStep, 64},
}};

} // namespace

bool isValidCode(int code)
{
    return code >= firstCode && code <= lastCode;
}

Span span(int code)
{
    return isValidCode(code) ? spans[static_cast<size_t>(code - 1)] : Span{};
}

int clampCode(int code)
{
    return qBound(firstCode, code, lastCode);
}

bool isWide(int code)
{
    return code >= 1 && code <= 5;
}

QString comboText(int code)
{
    const Span s = span(code);
    return QStringLiteral("%1 kHz  (%2 kHz)").arg(s.spanHz / 1000).arg(s.stepHz / 1000);
}

qint64 roundCentre(double centreMHz, int code)
{
    const qint64 step = span(code).stepHz;
    if (step <= 0)
        return 0;
    return static_cast<qint64>(std::floor(centreMHz * 1e6 / static_cast<double>(step) + 0.5)) *
           step;
}

qint64 nominalHz(int bin, qint64 centreHz, int code)
{
    const Span s = span(code);
    return centreHz + static_cast<qint64>(bin - s.centreBin) * s.stepHz;
}

bool inNominalSpan(int bin, qint64 centreHz, int code)
{
    const qint64 half = span(code).spanHz / 2;
    const qint64 f = nominalHz(bin, centreHz, code);
    return f >= centreHz - half && f <= centreHz + half;
}

} // namespace ScopeSpan
