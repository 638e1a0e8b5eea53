// corvin-dsp fft-render ARCHIVE --png OUT [--low HZ] [--high HZ] [--floor DB] [--ceiling DB]
// [--palette N] [--max-rows N]: draws a live FFT archive as a waterfall picture, one pixel
// column per bin between low and high, one row per frame with the first on top, coloured by the
// waterfall's lookup and index rule. A long archive has neighbouring frames merged by their
// per-bin maximum so that it fits in max-rows rows. Prints a JSON summary of the archive.
// Exit 0 with at least one frame drawn, 1 without (or when stopped), 2 on bad arguments.

#include "cli.h"
#include "fftarchive.h"
#include "waterfallmap.h"

#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Larger pictures are refused rather than allocated (a 2049-bin archive at 4096 rows is 8 M).
constexpr qint64 maxPixels = 64LL * 1024 * 1024;

struct Options
{
    QString archive;
    QString png;
    double lowHz = -std::numeric_limits<double>::infinity();
    double highHz = std::numeric_limits<double>::infinity();
    int floor = -90;
    int ceiling = -20;
    int palette = 0;
    int maxRows = 4096;
};

bool parse(const QStringList &arguments, Options &options)
{
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        if (!a.startsWith(QLatin1String("--"))) {
            if (!options.archive.isEmpty())
                return false;
            options.archive = a;
            continue;
        }
        if (i + 1 >= arguments.size())
            return false;
        const QString value = arguments[++i];
        bool ok = false;
        if (a == QLatin1String("--png"))
            ok = !(options.png = value).isEmpty();
        else if (a == QLatin1String("--low"))
            options.lowHz = value.toDouble(&ok);
        else if (a == QLatin1String("--high"))
            options.highHz = value.toDouble(&ok);
        else if (a == QLatin1String("--floor"))
            options.floor = value.toInt(&ok);
        else if (a == QLatin1String("--ceiling"))
            options.ceiling = value.toInt(&ok);
        else if (a == QLatin1String("--palette"))
            options.palette = value.toInt(&ok);
        else if (a == QLatin1String("--max-rows")) {
            options.maxRows = value.toInt(&ok);
            ok = ok && options.maxRows > 0;
        }
        if (!ok)
            return false;
    }
    return !options.archive.isEmpty() && !options.png.isEmpty() &&
           options.floor < options.ceiling && !(options.lowHz > options.highHz);
}

// What a pass over the archive saw.
struct Summary
{
    qint64 frames = 0;
    qint64 skipped = 0;
    int bins = 0;
    double firstBinHz = 0.0;
    double binWidthHz = 0.0;
    QString firstUtc;
    QString lastUtc;
    bool sawEnd = false;
};

// Reads the whole archive, handing each frame's stored values to onFrame. False with *error set
// when the file cannot be read or a stop was requested.
template <typename OnFrame>
bool readArchive(const QString &path, const Cli::StopSignals &stop, Summary &summary,
                 QString *error, OnFrame onFrame)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    FftArchive::Reader reader(file);
    summary = Summary();
    for (FftArchive::Reader::Record record = reader.next();
         record != FftArchive::Reader::Record::EndOfFile; record = reader.next()) {
        if (stop.requested()) {
            *error = QStringLiteral("stopped");
            return false;
        }
        if (record != FftArchive::Reader::Record::Frame)
            continue;
        if (summary.frames == 0)
            summary.firstUtc = reader.frameUtc();
        summary.lastUtc = reader.frameUtc();
        onFrame(reader.values(), summary.frames++);
    }
    summary.skipped = reader.skippedLines();
    summary.bins = reader.bins();
    summary.firstBinHz = reader.firstBinHz();
    summary.binWidthHz = reader.binWidthHz();
    summary.sawEnd = reader.sawEnd();
    return true;
}

QJsonObject summaryObject(const Summary &summary)
{
    return {{QStringLiteral("frames"), double(summary.frames)},
            {QStringLiteral("skipped_lines"), double(summary.skipped)},
            {QStringLiteral("bins"), summary.bins},
            {QStringLiteral("first_bin_hz"), summary.firstBinHz},
            {QStringLiteral("bin_width_hz"), summary.binWidthHz},
            {QStringLiteral("first_utc"), summary.firstUtc},
            {QStringLiteral("last_utc"), summary.lastUtc},
            {QStringLiteral("fft_end_seen"), summary.sawEnd}};
}

int runFftRender(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    Options options;
    if (!parse(arguments, options)) {
        Cli::printUsage("fft-render", err);
        return Cli::UsageError;
    }
    const Cli::StopSignals stop;
    Summary summary;
    QString error;
    if (!readArchive(options.archive, stop, summary, &error,
                     [](const std::vector<qint16> &, qint64) {})) {
        err << "error: " << error << '\n';
        return Cli::Failed;
    }
    QJsonObject report = summaryObject(summary);
    const auto finish = [&](int code) {
        out << QJsonDocument(report).toJson(QJsonDocument::Indented);
        return code;
    };
    if (summary.frames == 0) {
        err << "error: no frame in " << options.archive << '\n';
        return finish(Cli::Failed);
    }

    // Columns: the bins whose frequency lies in low ... high.
    const auto binOf = [&](double hertz) {
        return (hertz - summary.firstBinHz) / summary.binWidthHz;
    };
    const int first = static_cast<int>(std::max(0.0, std::ceil(binOf(options.lowHz))));
    const int last =
        static_cast<int>(std::min(double(summary.bins - 1), std::floor(binOf(options.highHz))));
    if (first > last) {
        err << "error: no bin between the low and high frequencies\n";
        return finish(Cli::Failed);
    }
    const int columns = last - first + 1;
    const qint64 perRow = (summary.frames + options.maxRows - 1) / options.maxRows;
    const int rows = static_cast<int>((summary.frames + perRow - 1) / perRow);
    if (qint64(columns) * rows > maxPixels) {
        err << "error: a picture of " << columns << " x " << rows
            << " pixels is too large; narrow --low/--high or lower --max-rows\n";
        return finish(Cli::Failed);
    }

    const WaterfallMap::Lookup lookup = WaterfallMap::lookup(options.palette);
    QImage image(columns, rows, QImage::Format_RGB32);
    image.fill(lookup[0]);
    std::vector<qint16> merged(static_cast<size_t>(columns));
    const auto drawRow = [&](int row) {
        auto *pixels = reinterpret_cast<quint32 *>(image.scanLine(row));
        for (int c = 0; c < columns; ++c) {
            const double dbfs = merged[static_cast<size_t>(c)] * FftArchive::valueScaleDbfs;
            pixels[c] = lookup[static_cast<size_t>(
                WaterfallMap::colourIndex(dbfs, options.floor, options.ceiling))];
        }
    };
    Summary again;
    // A live archive may have grown since the first pass: frames beyond the rows are left out.
    const bool read = readArchive(
        options.archive, stop, again, &error, [&](const std::vector<qint16> &values, qint64 index) {
            const qint64 row = index / perRow;
            if (row >= rows || values.size() != size_t(summary.bins))
                return;
            if (index % perRow == 0)
                std::fill(merged.begin(), merged.end(), std::numeric_limits<qint16>::min());
            for (int c = 0; c < columns; ++c) {
                qint16 &m = merged[static_cast<size_t>(c)];
                m = std::max(m, values[static_cast<size_t>(first + c)]);
            }
            if (index % perRow == perRow - 1 || index + 1 == summary.frames)
                drawRow(static_cast<int>(row));
        });
    if (!read) {
        err << "error: " << error << '\n';
        return Cli::Failed;
    }

    QSaveFile png(options.png);
    if (!png.open(QIODevice::WriteOnly) || !image.save(&png, "PNG") || !png.commit()) {
        err << "error: cannot write " << options.png << ": " << png.errorString() << '\n';
        return finish(Cli::Failed);
    }
    report.insert(QStringLiteral("columns"), columns);
    report.insert(QStringLiteral("rows"), rows);
    report.insert(QStringLiteral("frames_per_row"), double(perRow));
    report.insert(QStringLiteral("low_hz"), summary.firstBinHz + first * summary.binWidthHz);
    report.insert(QStringLiteral("high_hz"), summary.firstBinHz + last * summary.binWidthHz);
    report.insert(QStringLiteral("png"), options.png);
    return finish(Cli::Success);
}

const bool registered = Cli::add(
    {"fft-render",
     "ARCHIVE --png OUT [--low HZ] [--high HZ] [--floor DB] [--ceiling DB] [--palette N] "
     "[--max-rows N]",
     "a live FFT archive drawn as a waterfall picture, with a JSON summary", &runFftRender});

} // namespace
