#include "metricnames.h"

#include "anomalymetric.h"
#include "applanguage.h"

namespace MetricNames {

namespace {

struct Name
{
    const char *english;
    const char *italian;
};

// In AnomalyMetric order.
const Name names[AnomalyMetrics::count] = {
    {"RMS", "RMS"},
    {"Excess kurtosis", "Curtosi in eccesso"},
    {"Entropy", "Entropia"},
    {"Flatness", "Piattezza"},
    {"Flux", "Flusso"},
    {"Autocorrelation", "Autocorrelazione"},
    {"Envelope peak", "Picco inviluppo"},
    {"Envelope frequency", "Frequenza inviluppo"},
    {"Persistent peaks", "Picchi persistenti"},
    {"Comb spacing", "Passo pettine"},
    {"Comb teeth", "Denti pettine"},
    {"Direction coherence", "Coerenza direzione"},
    {"Direction slope", "Pendenza direzione"},
    {"Notch depth P95", "Profondit\u00e0 notch P95"},
};

} // namespace

QString name(int metric)
{
    if (metric < 0 || metric >= AnomalyMetrics::count)
        return QString();
    const Name &n = names[metric];
    return QString::fromUtf8(runningLanguage() == QLatin1String("it") ? n.italian : n.english);
}

} // namespace MetricNames
