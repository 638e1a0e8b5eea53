#include "signalanalysis.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kBlockSize = 4096;
constexpr int kBins = kBlockSize / 2 + 1;

struct ClassEntry
{
    const char *key;
    const char *label;
};
const ClassEntry kClasses[] = {
    {"quiet", QT_TRANSLATE_NOOP("SignalClassification", "Quiet / unmodulated")},
    {"noise", QT_TRANSLATE_NOOP("SignalClassification", "Noise / uncertain")},
    {"possible", QT_TRANSLATE_NOOP("SignalClassification", "Possible short emission")},
    {"tone", QT_TRANSLATE_NOOP("SignalClassification", "Tonal audio")},
    {"modulated", QT_TRANSLATE_NOOP("SignalClassification", "Modulated audio")},
};

int roundHalfAway(double v)
{
    return static_cast<int>(std::round(v));
}

} // namespace

namespace SignalClassification {

QString key(int code)
{
    if (code < 0 || code >= static_cast<int>(std::size(kClasses))) {
        return QString();
    }
    return QString::fromLatin1(kClasses[code].key);
}

QString label(const QString &classKey)
{
    for (const ClassEntry &entry : kClasses) {
        if (classKey == QLatin1String(entry.key)) {
            return QString::fromLatin1(entry.label);
        }
    }
    return QString();
}

QString translatedLabel(const QString &classKey)
{
    const QString english = label(classKey);
    return english.isEmpty() ? english
                             : QCoreApplication::translate("SignalClassification",
                                                           english.toLatin1().constData());
}

int combinedQuality(const QString &classKey, int quality, int sMeter)
{
    if (classKey != QLatin1String("possible") && classKey != QLatin1String("tone") &&
        classKey != QLatin1String("modulated")) {
        return 0;
    }
    return roundHalfAway(0.8 * quality + 20.0 * sMeter / 255.0);
}

} // namespace SignalClassification

int SignalAnalysis::plannedWindows(int sampleRate, int durationMs)
{
    return std::max(3, roundHalfAway(double(sampleRate) * durationMs / 4096000.0));
}

void SignalAnalysis::start(int request, int windows, double thresholdDbfs)
{
    cancel();
    m_request = request;
    m_windows = m_remaining = std::max(1, windows);
    m_threshold = thresholdDbfs;
    m_levels.reserve(m_windows);
    m_flatness.reserve(m_windows);
}

void SignalAnalysis::cancel()
{
    m_windows = m_remaining = 0;
    m_active = m_structured = m_tonal = m_run = m_longestRun = 0;
    m_total = 0.0;
    m_peak = -120.0;
    m_levels.clear();
    m_flatness.clear();
}

bool SignalAnalysis::analyseWindow(const double *power, int sampleRate)
{
    if (m_remaining <= 0 || sampleRate <= 0) {
        return false;
    }
    const double binWidth = double(sampleRate) / kBlockSize;
    const int lo = static_cast<int>(std::ceil(300.0 / binWidth));
    const int split = static_cast<int>(std::ceil(1400.0 / binWidth));
    const int hi = std::min(static_cast<int>(std::ceil(3200.0 / binWidth)), kBins);

    double sum[2] = {0.0, 0.0};
    double logSum[2] = {0.0, 0.0};
    int count[2] = {0, 0};
    int peakBin = lo;
    for (int i = lo; i < hi; ++i) {
        const int half = i < split ? 0 : 1;
        sum[half] += power[i];
        logSum[half] += std::log(std::max(power[i], 1e-18));
        ++count[half];
        if (power[i] > power[peakBin]) {
            peakBin = i;
        }
    }
    const double bandSum = sum[0] + sum[1];
    const double energy = bandSum / 3.0;
    m_total += energy;
    const double level = 10.0 * std::log10(std::max(energy, 1e-12));
    m_peak = std::max(m_peak, level);
    m_levels.append(level);

    double geometric = 0.0;
    for (int h = 0; h < 2; ++h) {
        if (count[h] > 0) {
            geometric += count[h] * std::exp(logSum[h] / count[h]);
        }
    }
    const double flatness = std::min(1.0, geometric / std::max(bandSum, 1e-18));
    m_flatness.append(flatness);

    const bool active = level >= m_threshold;
    const bool structured = active && flatness < flatnessLimit;
    if (active) {
        ++m_active;
    }
    if (structured) {
        ++m_structured;
        double aroundPeak = 0.0;
        for (int i = std::max(lo, peakBin - 2); i <= std::min(hi - 1, peakBin + 2); ++i) {
            aroundPeak += power[i];
        }
        if (aroundPeak > 0.75 * bandSum) {
            ++m_tonal;
        }
    }
    m_run = structured ? m_run + 1 : 0;
    m_longestRun = std::max(m_longestRun, m_run);

    if (--m_remaining > 0) {
        return false;
    }
    classify();
    return true;
}

void SignalAnalysis::classify()
{
    const int n = m_windows;
    AudioAnalysisResult r;
    r.dbfs_rms = 10.0 * std::log10(std::max(m_total / n, 1e-12));
    r.dbfs_peak = m_peak;
    r.fft_windows = n;
    r.active_windows = m_active;
    r.structured_windows = m_structured;
    r.window_dbfs = m_levels;
    r.window_flatness = m_flatness;

    const int minimumActive = std::max(2, (n + 4) / 5);
    SignalClass cls = SignalClass::Noise;
    if (m_active < minimumActive) {
        cls = SignalClass::Quiet;
    } else if (double(m_structured) / m_active >= 0.55) {
        cls = 4 * m_tonal >= 3 * m_structured ? SignalClass::Tone : SignalClass::Modulated;
        r.quality = roundHalfAway(30.0 * m_active / n + 70.0 * m_structured / m_active);
    }
    if ((cls == SignalClass::Quiet || cls == SignalClass::Noise) && m_longestRun >= 2) {
        cls = SignalClass::Possible;
        r.quality = std::min(50, 5 * m_longestRun + 15);
    }
    r.classification = static_cast<int>(cls);
    m_result = r;
}
