#include "metricnames.h"

#include "anomalymetric.h"
#include "applanguage.h"

#include <cmath>

namespace MetricNames {

namespace {

struct Metric
{
    const char *english;
    const char *italian;
    int decimals;
    const char *unit;
    const char *englishDescription;
    const char *italianDescription;
};

// In AnomalyMetric order. UTF-8 literals.
const Metric metrics[AnomalyMetrics::count] = {
    {"RMS", "RMS", 2, " dBFS", "Full-band original PCM RMS, dBFS.",
     "RMS del PCM originale a banda piena, dBFS."},
    {"Excess kurtosis", "Curtosi in eccesso", 3, "",
     "Gaussian noise tends to zero; impulsive signals often positive.",
     "Il rumore gaussiano tende a zero; i segnali impulsivi sono spesso positivi."},
    {"Entropy", "Entropia", 3, "", "Normalized spectral entropy 0\u20131.",
     "Entropia spettrale normalizzata 0\u20131."},
    {"Flatness", "Piattezza", 3, "", "Geometric/arithmetic mean of spectral power, 0\u20131.",
     "Media geometrica/aritmetica della potenza spettrale, 0\u20131."},
    {"Flux", "Flusso", 3, "", "Half L1 distance between successive normalized spectra.",
     "Met\u00e0 della distanza L1 tra spettri normalizzati successivi."},
    {"Autocorrelation", "Autocorrelazione", 3, "",
     "Maximum absolute normalized correlation at lags 2\u2013250 ms, band-limited.",
     "Massima correlazione normalizzata assoluta a ritardi 2\u2013250 ms, in banda."},
    {"Envelope peak", "Picco inviluppo", 1, " dB",
     "Strongest local peak contrast of squared analytic envelope, 5\u20134000 Hz. Not a "
     "probability or symbol-rate proof.",
     "Massimo contrasto locale di picco dell'inviluppo analitico al quadrato, 5\u20134000 Hz. "
     "Non \u00e8 una probabilit\u00e0 n\u00e9 una prova di symbol rate."},
    {"Envelope frequency", "Frequenza inviluppo", 0, " Hz",
     "Frequency of candidate periodicity; 1 Hz grid.",
     "Frequenza della periodicit\u00e0 candidata; griglia di 1 Hz."},
    {"Persistent peaks", "Picchi persistenti", 0, "",
     "1 Hz grid; >9 dB local contrast in 8 s average, supported in at least 5/8 seconds "
     "(>6 dB). Not a transmitter count.",
     "Griglia di 1 Hz; contrasto locale >9 dB nella media di 8 s, presente in almeno 5/8 "
     "secondi (>6 dB). Non \u00e8 un conteggio di trasmettitori."},
    {"Comb spacing", "Passo pettine", 1, " Hz",
     "Candidate spacing of at least three equidistant peaks; may occur by chance.",
     "Passo candidato di almeno tre picchi equidistanti; pu\u00f2 capitare per caso."},
    {"Comb teeth", "Denti pettine", 0, "",
     "Number of contiguous equally spaced peaks in best candidate.",
     "Numero di picchi contigui equidistanti nel candidato migliore."},
    {"Direction coherence", "Coerenza direzione", 3, "",
     "Maximum residual waterfall correlation over tested slopes; 8 s history. No significance "
     "calibration.",
     "Massima correlazione del waterfall residuo sulle pendenze provate; cronologia di 8 s. "
     "Nessuna calibrazione di significativit\u00e0."},
    {"Direction slope", "Pendenza direzione", 0, " Hz/s",
     "Slope of best tested correlation, frequency vs forward time. Not a propagation proof.",
     "Pendenza della correlazione migliore, frequenza rispetto al tempo. Non \u00e8 una prova "
     "di propagazione."},
    {"Notch depth P95", "Profondit\u00e0 notch P95", 1, " dB",
     "95th percentile of negative local residual in dB; includes noise.",
     "95\u00b0 percentile del residuo locale negativo in dB; include il rumore."},
};

bool italian()
{
    return runningLanguage() == QLatin1String("it");
}

} // namespace

QString name(int metric)
{
    if (metric < 0 || metric >= AnomalyMetrics::count)
        return QString();
    const Metric &m = metrics[metric];
    return QString::fromUtf8(italian() ? m.italian : m.english);
}

QString description(int metric)
{
    if (metric < 0 || metric >= AnomalyMetrics::count)
        return QString();
    const Metric &m = metrics[metric];
    return QString::fromUtf8(italian() ? m.italianDescription : m.englishDescription);
}

QString formatValue(int metric, double value)
{
    if (metric < 0 || metric >= AnomalyMetrics::count || !std::isfinite(value))
        return QStringLiteral("--");
    const Metric &m = metrics[metric];
    return QString::number(value, 'f', m.decimals) + QLatin1String(m.unit);
}

} // namespace MetricNames
