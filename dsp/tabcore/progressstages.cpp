#include "progressstages.h"

#include "reportwriter.h"

#include <QCoreApplication>
#include <QDir>

namespace ProgressStages {

QStringList openingLines(const QString &wavPath)
{
    return {NativeWav::nativeDspBanner(), QCoreApplication::translate("DspRun", "Analyzing WAV: %1")
                                              .arg(QDir::toNativeSeparators(wavPath))};
}

QStringList linesBetween(int previous, int current)
{
    QStringList lines;
    if (previous < 15 && current > 14) {
        lines << QCoreApplication::translate(
            "DspRun", "Audio levels completed. Discovering spectral bands...");
    }
    if (previous < 44 && current >= 44) {
        lines << QCoreApplication::translate("DspRun",
                                             "Analyzing pulse envelopes and periodicity...");
    }
    if (previous <= 81 && current > 81)
        lines << reportStageText();
    return lines;
}

QString reportStageText()
{
    return QCoreApplication::translate("DspRun",
                                       "Writing HTML, SVG/PNG, CSV, JSON and filtered WAV...");
}

} // namespace ProgressStages
