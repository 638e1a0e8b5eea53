#include "pulsetrainfinder.h"

#include "nativedsp.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

namespace NativeWav {

namespace {

struct GridFit
{
    std::size_t inliers = 0;
    double jitter = std::numeric_limits<double>::infinity();
    double period = 0.0;
    std::vector<std::size_t> members;
};

// Interpolated order statistic of an ascending vector, computed as NativeDsp::percentile does.
double sortedPercentile(const std::vector<double> &sorted, double p)
{
    const double r = p * static_cast<double>(sorted.size() - 1);
    const auto i = static_cast<std::size_t>(std::floor(r));
    if (i + 1 >= sorted.size())
        return sorted[i];
    return sorted[i] + (sorted[i + 1] - sorted[i]) * (r - static_cast<double>(i));
}

std::size_t supportOf(const std::vector<double> &intervals, double c)
{
    const double tolerance = std::max(0.025 * c, 0.006);
    return static_cast<std::size_t>(
        std::count_if(intervals.begin(), intervals.end(),
                      [&](double d) { return std::abs(d - c) <= tolerance; }));
}

// One grid fit anchored at event a with the initial period p0; returns false when the anchor
// gives no usable fit.
bool fitFromAnchor(const std::vector<double> &t, std::size_t a, double p0, GridFit &fit)
{
    const std::size_t n = t.size();
    const double anchor = t[a];
    const double firstTolerance = std::max(0.05 * p0, 0.009);
    std::vector<double> ms;
    std::vector<double> ts;
    for (std::size_t k = 0; k < n; ++k) {
        const double m = std::round((t[k] - anchor) / p0);
        if (std::abs(t[k] - anchor - m * p0) <= firstTolerance) {
            ms.push_back(m);
            ts.push_back(t[k]);
        }
    }
    if (ms.size() < 4)
        return false;
    const double count = static_cast<double>(ms.size());
    double mMean = 0.0;
    double tMean = 0.0;
    for (std::size_t i = 0; i < ms.size(); ++i) {
        mMean += ms[i];
        tMean += ts[i];
    }
    mMean /= count;
    tMean /= count;
    double sxy = 0.0;
    double sxx = 0.0;
    for (std::size_t i = 0; i < ms.size(); ++i) {
        sxy += (ts[i] - tMean) * (ms[i] - mMean);
        sxx += (ms[i] - mMean) * (ms[i] - mMean);
    }
    if (sxx <= 0.0)
        return false;
    const double slope = sxy / sxx;
    if (slope <= 0.0)
        return false;
    const double offset = tMean - slope * mMean;

    const double tolerance = std::max(0.045 * slope, 0.009);
    fit.members.clear();
    std::vector<double> grid;
    for (std::size_t k = 0; k < n; ++k) {
        const double h = std::round((t[k] - offset) / slope);
        if (std::abs(t[k] - offset - h * slope) <= tolerance) {
            fit.members.push_back(k);
            grid.push_back(h);
        }
    }
    if (static_cast<double>(fit.members.size()) < std::max(0.6 * static_cast<double>(n), 4.0))
        return false;
    // Times ascend and the slope is positive, so grid numbers never decrease: equal neighbours
    // are the only possible repeats.
    for (std::size_t i = 1; i < grid.size(); ++i) {
        if (grid[i] == grid[i - 1])
            return false;
    }
    double rSum = 0.0;
    double rSquares = 0.0;
    for (std::size_t i = 0; i < grid.size(); ++i) {
        const double r = t[fit.members[i]] - offset - grid[i] * slope;
        rSum += r;
        rSquares += r * r;
    }
    const double inliers = static_cast<double>(grid.size());
    const double rMean = rSum / inliers;
    fit.jitter = std::sqrt(std::max(rSquares / inliers - rMean * rMean, 0.0));
    fit.inliers = grid.size();
    fit.period = slope;
    return true;
}

} // namespace

TrainFit findPulseTrain(const std::vector<PulseEvent> &events)
{
    TrainFit none;
    const std::size_t n = events.size();
    if (n < 4)
        return none;
    std::vector<double> t(n);
    for (std::size_t k = 0; k < n; ++k)
        t[k] = events[k].timeSeconds;
    std::vector<double> intervals(n - 1);
    std::vector<double> valid;
    for (std::size_t k = 0; k + 1 < n; ++k) {
        intervals[k] = t[k + 1] - t[k];
        if (intervals[k] >= 0.025 && intervals[k] <= 60.0)
            valid.push_back(intervals[k]);
    }
    if (valid.size() < 3)
        return none;

    std::sort(valid.begin(), valid.end());
    const std::size_t candidates = std::min<std::size_t>(valid.size(), 151);
    const double step = static_cast<double>(std::max<std::size_t>(candidates - 1, 1));
    double best = 0.0;
    std::size_t bestSupport = 0;
    for (std::size_t k = 0; k < candidates; ++k) {
        const double c = sortedPercentile(valid, static_cast<double>(k) / step);
        const std::size_t support = supportOf(intervals, c);
        if (k == 0 || support > bestSupport) {
            best = c;
            bestSupport = support;
        }
    }
    if (static_cast<double>(bestSupport) < std::max(0.52 * static_cast<double>(n - 1), 3.0))
        return none;

    const double tolerance = std::max(0.025 * best, 0.006);
    std::vector<double> near;
    for (double d : intervals) {
        if (std::abs(d - best) <= tolerance)
            near.push_back(d);
    }
    const double p0 = NativeDsp::median(near);

    GridFit bestFit;
    GridFit fit;
    for (int g = 0; g < 18; ++g) {
        const auto a = static_cast<std::size_t>(
            std::round(static_cast<double>(n - 1) * static_cast<double>(g) / 17.0));
        if (!fitFromAnchor(t, a, p0, fit))
            continue;
        if (fit.inliers > bestFit.inliers ||
            (fit.inliers == bestFit.inliers && fit.jitter < bestFit.jitter))
            bestFit = fit;
    }
    if (bestFit.inliers == 0)
        return none;
    TrainFit result;
    result.periodSeconds = bestFit.period;
    result.jitterSeconds = bestFit.jitter;
    result.events.reserve(bestFit.members.size());
    for (std::size_t k : bestFit.members)
        result.events.push_back(events[k]);
    return result;
}

double matchFraction(const std::vector<PulseEvent> &x, const std::vector<PulseEvent> &y,
                     double toleranceSeconds)
{
    if (x.empty() || y.empty())
        return 0.0;
    std::size_t pointer = 0;
    std::size_t matched = 0;
    for (const PulseEvent &event : x) {
        const double t = event.timeSeconds;
        while (pointer + 1 < y.size() && y[pointer + 1].timeSeconds <= t)
            ++pointer;
        double distance = std::abs(y[pointer].timeSeconds - t);
        if (pointer + 1 < y.size())
            distance = std::min(distance, std::abs(y[pointer + 1].timeSeconds - t));
        if (distance <= toleranceSeconds)
            ++matched;
    }
    return static_cast<double>(matched) / static_cast<double>(x.size());
}

bool isDuplicateTrain(const std::vector<PulseTrain> &trains, const TrainFit &fit)
{
    const double period = fit.periodSeconds;
    const double tolerance = std::max(0.055 * period, 0.028);
    return std::any_of(trains.begin(), trains.end(), [&](const PulseTrain &stored) {
        return std::abs(stored.periodSeconds - period) < 0.035 * period &&
               matchFraction(fit.events, stored.events, tolerance) > 0.7;
    });
}

bool coincidesWithTrain(const PulseEvent &event, const std::vector<PulseTrain> &trains)
{
    const std::vector<PulseEvent> single{event};
    return std::any_of(trains.begin(), trains.end(), [&](const PulseTrain &train) {
        return matchFraction(single, train.events, 0.028) > 0.7;
    });
}

std::vector<PulseEvent> collectIsolatedEvents(const std::vector<IsolatedBand> &bands,
                                              const std::vector<PulseTrain> &trains)
{
    std::vector<PulseEvent> accepted;
    std::multiset<double> acceptedTimes;
    for (const IsolatedBand &band : bands) {
        for (const PulseEvent &event : band.events) {
            if (coincidesWithTrain(event, trains))
                continue;
            const auto near = acceptedTimes.lower_bound(event.timeSeconds - 0.02);
            if (near != acceptedTimes.end() && *near - event.timeSeconds <= 0.02)
                continue;
            accepted.push_back(event);
            acceptedTimes.insert(event.timeSeconds);
        }
    }
    std::stable_sort(
        accepted.begin(), accepted.end(),
        [](const PulseEvent &a, const PulseEvent &b) { return a.timeSeconds < b.timeSeconds; });
    return accepted;
}

} // namespace NativeWav
