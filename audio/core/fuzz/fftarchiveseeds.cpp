// Writes the seed corpus of the FFT archive fuzzer into the folder given: whole archives of a
// few sizes as the program writes them, and damaged ones (torn last line, wrong lengths).

#include "fftarchive.h"

#include <QDateTime>
#include <QFile>
#include <QVector>

#include <cmath>
#include <cstdio>

namespace {

QVector<double> spectrum(int bins, int frame)
{
    QVector<double> magnitudes(bins);
    for (int i = 0; i < bins; ++i)
        magnitudes[i] =
            -100.0 + 60.0 * std::exp(-std::pow((i - 20 - frame) / 3.0, 2.0)) + 0.37 * (i % 7);
    return magnitudes;
}

QByteArray archive(int bins, int frames, bool end)
{
    const QDateTime utc = QDateTime::fromMSecsSinceEpoch(1700000000000LL, Qt::UTC);
    QByteArray text = FftArchive::startLine(bins, 0.0, 48000.0 / ((bins - 1) * 2), utc);
    for (int f = 0; f < frames; ++f) {
        text += FftArchive::frameLine(FftArchive::encodeFrame(spectrum(bins, f)), 7050000,
                                      utc.addMSecs(85 * f));
    }
    if (end)
        text += FftArchive::endLine(frames, utc.addMSecs(85 * frames));
    return text;
}

bool write(const QString &folder, const char *name, const QByteArray &bytes)
{
    QFile file(folder + QLatin1Char('/') + QLatin1String(name));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fftarchiveseeds FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QByteArray small = archive(2, 3, true);
    const QByteArray medium = archive(65, 4, true);
    const QByteArray full = archive(2049, 2, true);
    bool ok = write(folder, "small.jsonl", small) && write(folder, "medium.jsonl", medium) &&
              write(folder, "full.jsonl", full) &&
              write(folder, "torn.jsonl", medium.left(medium.size() - 40)) &&
              write(folder, "noend.jsonl", archive(17, 2, false));
    // A frame whose stated length disagrees with the start record.
    QByteArray wrong = archive(9, 1, false);
    wrong += FftArchive::frameLine(FftArchive::encodeFrame(spectrum(10, 0)), 0,
                                   QDateTime::fromMSecsSinceEpoch(0, Qt::UTC));
    ok = ok && write(folder, "wronglength.jsonl", wrong);
    return ok ? 0 : 1;
}
