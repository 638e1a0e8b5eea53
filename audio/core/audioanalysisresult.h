#pragma once

#include <QMetaType>
#include <QString>
#include <QVector>

// Result of one signal measurement of the live audio. Field names are the keys under which
// scan archives store them.
struct AudioAnalysisResult
{
    int classification = 0; // SignalClass code
    int quality = 0;        // 0-100
    double dbfs_rms = -120.0;
    double dbfs_peak = -120.0;
    int fft_windows = 0;
    int active_windows = 0;
    int structured_windows = 0;
    QVector<double> window_dbfs;
    QVector<double> window_flatness;
};

Q_DECLARE_METATYPE(AudioAnalysisResult)

// What a measurement heard. The key is stored in files and archives, the English label in the
// favourites file (shown translated in the context "SignalClassification").
enum class SignalClass { Quiet = 0, Noise = 1, Possible = 2, Tone = 3, Modulated = 4 };

namespace SignalClassification {

// Key of a class code; empty for a code outside the table.
QString key(int code);
// English label of a key; empty for an unknown key.
QString label(const QString &key);
// The label translated for display.
QString translatedLabel(const QString &key);
// Score of a frequency: 0.8 x quality + 20 x S-meter / 255 (rounded half away from zero) for the
// keys "possible", "tone" and "modulated"; 0 for any other key. sMeter 0-255.
int combinedQuality(const QString &key, int quality, int sMeter);

} // namespace SignalClassification
