#include "syntheticcsv.h"

#include "syntheticgrid.h"

#include <QDateTime>
#include <QSaveFile>

namespace SyntheticCsv {

const char *const header =
    "utc_start,mode,frequency_hz,psd_dbfs_hz,coverage_weight,completed_slices,planned_slices,"
    "max_clip_fraction,bin_hz,audio_low_hz,audio_high_hz,settle_ms,capture_ms,input_channel";

namespace {

QByteArray number(double value)
{
    // QByteArray::number ignores the locale: decimal point, no grouping.
    return QByteArray::number(value, 'g', 12);
}

} // namespace

Result write(const QString &path, const SyntheticGrid &grid, const SweepInfo &info, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        *error = file.errorString();
        return Result::OpenFailed;
    }
    const QByteArray head = info.utcStart.toUtf8() + ",USB,";
    const QByteArray tail =
        ',' + QByteArray::number(info.completedSlices) + ',' +
        QByteArray::number(info.plannedSlices) + ',' + number(info.maxClipFraction) + ',' +
        QByteArray::number(info.binHz) + ',' + QByteArray::number(info.lowHz) + ',' +
        QByteArray::number(info.highHz) + ',' + QByteArray::number(info.settleMs) + ',' +
        QByteArray::number(info.captureMs) + ',' + QByteArray::number(info.channel) + '\n';
    QByteArray text = QByteArray(header) + '\n';
    bool ok = true;
    for (int i = 0; i < grid.size() && ok; ++i) {
        text += head + QByteArray::number(grid.frequencyOf(i)) + ',';
        if (grid.isCovered(i))
            text += number(grid.psdDb(i));
        text += ',' + number(grid.weight(i)) + tail;
        if (text.size() > 1 << 16) {
            ok = file.write(text) == text.size();
            text.clear();
        }
    }
    if (!ok || file.write(text) != text.size()) {
        file.cancelWriting();
        return Result::WriteFailed;
    }
    if (!file.commit()) {
        *error = file.errorString();
        return Result::CommitFailed;
    }
    return Result::Saved;
}

QString proposedFileName()
{
    return QStringLiteral("rf_synthetic_%1.csv")
        .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmss")));
}

} // namespace SyntheticCsv
