#include "reportwriter.h"

#include "analysismath.h"
#include "nativedsp.h"
#include "previewwav.h"
#include "reportfigures.h"
#include "reportfilestream.h"
#include "reportpage.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <stdexcept>

namespace NativeWav {

namespace {

QJsonValue jsonNumber(double x)
{
    return std::isfinite(x) ? QJsonValue(x) : QJsonValue(QJsonValue::Null);
}

QJsonValue jsonInteger(std::uint64_t x)
{
    return QJsonValue(static_cast<qint64>(x));
}

template <typename Field> double medianOf(const std::vector<PulseEvent> &events, Field field)
{
    std::vector<double> values;
    values.reserve(events.size());
    for (const PulseEvent &event : events)
        values.push_back(event.*field);
    return NativeDsp::median(std::move(values));
}

// Opened by the request's own path: the text form of a name that is not valid in the locale's
// encoding would not find the file.
QString sha256Of(const std::filesystem::path &wavPath, const std::atomic<bool> &cancel)
{
    const std::unique_ptr<std::FILE, int (*)(std::FILE *)> file(std::fopen(wavPath.c_str(), "rb"),
                                                                &std::fclose);
    if (!file)
        throw std::runtime_error("Cannot hash source WAV");
    QCryptographicHash hash(QCryptographicHash::Sha256);
    std::vector<char> chunk(1 << 20);
    for (;;) {
        throwIfCancelled(cancel);
        const std::size_t got = std::fread(chunk.data(), 1, chunk.size(), file.get());
        hash.addData(chunk.data(), static_cast<int>(got));
        if (got < chunk.size()) {
            if (std::ferror(file.get()))
                throw std::runtime_error("WAV SHA-256 read failed");
            break;
        }
    }
    return QString::fromLatin1(hash.result().toHex());
}

QJsonObject summaryOf(const Result &result, const QString &wavPath, const QString &sha256)
{
    QJsonObject summary;
    summary["format"] = nativeDspFormat();
    summary["file"] = QFileInfo(wavPath).fileName();
    summary["sample_rate_hz"] = jsonInteger(result.sampleRate);
    summary["samples"] = jsonInteger(result.frames);
    summary["duration_s"] = jsonNumber(result.durationSeconds);
    summary["channels"] = jsonInteger(result.channels);
    summary["channel_used"] = result.channelUsed;
    summary["bits"] = jsonInteger(result.validBits);
    summary["float_pcm"] = result.isFloat;
    summary["low_hz"] = jsonNumber(result.lowHz);
    summary["high_hz"] = jsonNumber(result.highHz);
    summary["contrast_db"] = jsonNumber(result.contrastDb);

    QJsonArray means, rms, peaks, clipping;
    for (const ChannelStats &stats : result.channelStats) {
        means.append(jsonNumber(stats.mean));
        rms.append(jsonNumber(stats.rmsDb));
        peaks.append(jsonNumber(stats.peakDb));
        clipping.append(jsonNumber(stats.clipPercent));
    }
    QJsonObject levels;
    levels["means"] = means;
    levels["rms_dbfs"] = rms;
    levels["peak_dbfs"] = peaks;
    levels["clipping_pct"] = clipping;
    levels["correlation_ch1_ch2"] =
        result.hasCorrelation ? jsonNumber(result.channelCorrelation) : QJsonValue();
    levels["nonfinite_samples"] = jsonInteger(result.nonFiniteSamples);
    summary["audio_levels"] = levels;

    std::size_t members = 0;
    QJsonArray trains;
    for (std::size_t i = 0; i < result.trains.size(); ++i) {
        const PulseTrain &train = result.trains[i];
        members += train.events.size();
        QJsonObject entry;
        entry["train"] = jsonInteger(i + 1);
        entry["count"] = jsonInteger(train.events.size());
        entry["period_ms"] = jsonNumber(train.periodSeconds * 1000.0);
        entry["cadence_hz"] = jsonNumber(1.0 / train.periodSeconds);
        entry["jitter_ms"] = jsonNumber(train.jitterMs);
        entry["width_ms"] = jsonNumber(medianOf(train.events, &PulseEvent::widthMs));
        entry["peak_audio_hz"] = jsonNumber(medianOf(train.events, &PulseEvent::frequencyHz));
        entry["above_background_db"] = jsonNumber(medianOf(train.events, &PulseEvent::snrDb));
        entry["band_hz"] = QJsonArray{jsonNumber(train.lowHz), jsonNumber(train.highHz)};
        trains.append(entry);
    }
    summary["event_count"] = jsonInteger(members + result.events.size());
    summary["isolated_events"] = jsonInteger(result.events.size());
    summary["trains"] = trains;

    QJsonArray spectralPeaks;
    for (const SpectralPeak &peak : result.spectralPeaks) {
        QJsonObject entry;
        entry["hz"] = jsonNumber(peak.frequencyHz);
        entry["dbfs_bin"] = jsonNumber(peak.levelDb);
        spectralPeaks.append(entry);
    }
    summary["spectral_peaks"] = spectralPeaks;
    summary["sha256"] = sha256;
    return summary;
}

// One row per pulse (train members labelled with the train number, then the isolated pulses),
// sorted by centre time, streamed so that long recordings need little memory.
void writeEventsCsv(const QString &path, const Result &result)
{
    struct Row
    {
        std::size_t train; // 1-based, 0 for isolated pulses
        const PulseEvent *event;
    };
    std::vector<Row> rows;
    for (std::size_t i = 0; i < result.trains.size(); ++i) {
        for (const PulseEvent &event : result.trains[i].events)
            rows.push_back({i + 1, &event});
    }
    for (const PulseEvent &event : result.events)
        rows.push_back({0, &event});
    std::stable_sort(rows.begin(), rows.end(), [](const Row &a, const Row &b) {
        return a.event->timeSeconds < b.event->timeSeconds;
    });
    ReportFileStream csv(path);
    csv.append(QChar(0xFEFF) + QStringLiteral("train,center_s,start_s,end_s,width_ms,"
                                              "peak_audio_hz,peak_dbfs,above_background_db\r\n"));
    for (const Row &row : rows) {
        const PulseEvent &e = *row.event;
        QString line = row.train == 0 ? QStringLiteral("isolated") : QString::number(row.train);
        for (double v : {e.timeSeconds, e.startSeconds, e.endSeconds, e.widthMs, e.frequencyHz,
                         e.peakDb, e.snrDb})
            line += QLatin1Char(',') + fixedNumber(v, 6);
        csv.append(line + QStringLiteral("\r\n"));
    }
    csv.commit();
}

QString levelsSvg(const Result &result)
{
    std::vector<double> times(result.levelDb.size());
    const double columns = std::max(result.timeColumns, 1);
    for (std::size_t i = 0; i < times.size(); ++i)
        times[i] = (static_cast<double>(i) + 0.5) * result.durationSeconds / columns;
    double lo = -120.0;
    double hi = 0.0;
    if (!result.levelDb.empty()) {
        lo = *std::min_element(result.levelDb.begin(), result.levelDb.end());
        hi = *std::max_element(result.levelDb.begin(), result.levelDb.end());
    }
    return svgLinePlot(times, result.levelDb, QStringLiteral("Livello audio nel tempo"),
                       QStringLiteral("Tempo (s)"), QStringLiteral("RMS dBFS"), 0.0,
                       result.durationSeconds, std::max(lo - 5.0, -160.0), std::min(hi + 5.0, 0.0));
}

QString spectrumSvg(const Result &result)
{
    const std::vector<double> &level = result.meanSpectrumDb;
    const double peak = level.empty() ? 0.0 : *std::max_element(level.begin(), level.end());
    return svgLinePlot(result.spectrumFrequencies, level, QStringLiteral("Spettro medio"),
                       QStringLiteral("Frequenza audio (Hz)"), QStringLiteral("dBFS per bin"),
                       result.lowHz, result.highHz, std::max(peak - 80.0, -160.0),
                       std::min(peak + 5.0, 0.0));
}

// Clip of the strongest isolated pulse, band-limited around its band, when there is no train.
QString isolatedClip(const QString &folder, const Result &result, const AnalysisRequest &request,
                     const std::atomic<bool> &cancel)
{
    const auto strongest = std::max_element(
        result.events.begin(), result.events.end(),
        [](const PulseEvent &a, const PulseEvent &b) { return a.snrDb < b.snrDb; });
    PulseTrain pseudo;
    pseudo.bandHz = strongest->bandHz;
    pseudo.lowHz = std::max({1.0, result.lowHz, strongest->bandHz - 120.0});
    pseudo.highHz = std::min({0.49 * result.sampleRate, result.highHz, strongest->bandHz + 120.0});
    pseudo.events = {*strongest};
    if (pseudo.highHz - pseudo.lowHz < 20.0)
        return {};
    writePreviewWav(folder, 1, result, request, pseudo, cancel);
    if (!QFile::exists(QDir(folder).filePath(QStringLiteral("preview_1.wav"))))
        return {};
    return QStringLiteral("<div class='clip'><b>Evento isolato</b> · Banda %1–%2 Hz<audio "
                          "controls preload='none' src='preview_1.wav'></audio></div>")
        .arg(fixedNumber(pseudo.lowHz, 0), fixedNumber(pseudo.highHz, 0));
}

} // namespace

QString nativeDspFormat()
{
    return QStringLiteral("corvin-native-dsp-1");
}

QString nativeDspBanner()
{
    return QStringLiteral("Corvin native DSP engine · FFTW 3 transforms · zero-phase Butterworth "
                          "filters");
}

void writeReportFile(const QString &path, const QString &text)
{
    ReportFileStream file(path);
    file.append(text);
    file.commit();
}

void writeAnalysisReport(const Result &result, const AnalysisRequest &request,
                         const QString &wavPath, const QString &reportFolder,
                         const std::atomic<bool> &cancel)
{
    throwIfCancelled(cancel);
    if (!QDir().mkpath(reportFolder))
        throw std::runtime_error("Cannot create report directory");
    const QDir folder(reportFolder);
    const QString sha256 = sha256Of(request.wavPath, cancel);
    writeReportFile(
        folder.filePath(QStringLiteral("summary.json")),
        QString::fromUtf8(
            QJsonDocument(summaryOf(result, wavPath, sha256)).toJson(QJsonDocument::Indented)));
    writeEventsCsv(folder.filePath(QStringLiteral("events.csv")), result);

    throwIfCancelled(cancel);
    writeSpectrogramPng(result, folder.filePath(QStringLiteral("spectrogram.png")), cancel);
    writeReportFile(folder.filePath(QStringLiteral("levels.svg")), levelsSvg(result));
    writeReportFile(folder.filePath(QStringLiteral("spectrum.svg")), spectrumSvg(result));
    if (!result.trains.empty() || !result.events.empty()) {
        ReportFileStream timeline(folder.filePath(QStringLiteral("events.svg")));
        svgEventTimeline(result, [&timeline](const QString &piece) { timeline.append(piece); });
        timeline.commit();
    }

    QString clips;
    for (std::size_t i = 0; i < result.trains.size(); ++i) {
        throwIfCancelled(cancel);
        const int index = static_cast<int>(i) + 1;
        const PulseTrain &train = result.trains[i];
        writePreviewWav(reportFolder, index, result, request, train, cancel);
        if (QFile::exists(folder.filePath(QStringLiteral("preview_%1.wav").arg(index))))
            clips += QStringLiteral("<div class='clip'><b>Treno %1</b> · Banda %2–%3 Hz<audio "
                                    "controls preload='none' src='preview_%1.wav'></audio></div>")
                         .arg(QString::number(index), fixedNumber(train.lowHz, 0),
                              fixedNumber(train.highHz, 0));
    }
    if (result.trains.empty() && !result.events.empty()) {
        throwIfCancelled(cancel);
        clips += isolatedClip(reportFolder, result, request, cancel);
    }

    throwIfCancelled(cancel);
    writeReportFile(folder.filePath(QStringLiteral("report.html")),
                    composeReportPage(result, QFileInfo(wavPath).fileName(), sha256, clips));
}

} // namespace NativeWav
