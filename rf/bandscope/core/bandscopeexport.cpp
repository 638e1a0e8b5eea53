#include "bandscopeexport.h"

#include "bandscopehistory.h"
#include "scoperecord.h"
#include "scopespan.h"

#include <QDateTime>
#include <QSaveFile>

namespace BandScopeExport {

namespace {

QByteArray fixed(double value)
{
    return QByteArray::number(value, 'f', 5);
}

const char *statusOf(int code, int bin, int rows)
{
    if (code < 0)
        return rows > 0 && bin >= rows * DsFrame::rowBins ? "not_transmitted" : "missing";
    if (code == 0)
        return "not_measured";
    if (code == 1)
        return "out_of_range";
    return "level";
}

} // namespace

QString defaultFileName(const QDateTime &localTime)
{
    return QStringLiteral("bandscope_%1.csv")
        .arg(localTime.toString(QStringLiteral("yyyyMMdd_HHmmss_zzz")));
}

QString withCsvSuffix(const QString &name)
{
    return name.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive)
               ? name
               : name + QStringLiteral(".csv");
}

QString rawPathFor(const QString &csvPath)
{
    return csvPath.left(csvPath.size() - 4) + QStringLiteral("_raw.txt");
}

QByteArray csv(const ScopeRecord &record, const BandScopeHistory &history, int window)
{
    const DsFrame &frame = record.frame;
    const bool verified = record.setupVerified;
    const ScopeSpan::Span span = ScopeSpan::span(record.requestedSpanCode);
    const QByteArray time = record.dsTime.isValid()
                                ? record.dsTime.toUTC().toString(Qt::ISODateWithMs).toLatin1()
                                : QByteArray();
    QByteArray requested = ",,,";
    if (!record.manual) {
        requested = QByteArray::number(record.requestedCentreHz) + ',' +
                    QByteArray::number(span.spanHz) + ',' + QByteArray::number(span.stepHz) + ',' +
                    (record.peakHoldRequested ? '1' : '0');
    }
    const QByteArray common = time + ',' + requested + ',' + (frame.isComplete() ? '1' : '0');
    const QByteArray confirmation =
        QByteArray(verified ? "1" : "0") + ',' +
        (record.actualPeakHold >= 0 ? QByteArray::number(record.actualPeakHold) : QByteArray());

    QByteArray out = QByteArray(header) + '\n';
    out.reserve(1024 * 110);
    for (int bin = 0; bin < DsFrame::maxBins; ++bin) {
        const int code = frame.codes[static_cast<size_t>(bin)];
        QByteArray line = common + ',' + QByteArray::number(bin) + ',';
        if (verified) {
            line +=
                QByteArray::number(
                    ScopeSpan::nominalHz(bin, record.requestedCentreHz, record.requestedSpanCode)) +
                ',' +
                (ScopeSpan::inNominalSpan(bin, record.requestedCentreHz, record.requestedSpanCode)
                     ? '1'
                     : '0');
        } else {
            line += ',';
        }
        line += ',';
        if (code >= 0)
            line += QByteArray::number(code, 16).toUpper() + ',' + QByteArray::number(code);
        else
            line += ',';
        line += QByteArray(",") + statusOf(code, bin, frame.rows) + ',' + confirmation + ',';

        const ScopeBinStatistics stats =
            verified ? history.statistics(bin, window) : ScopeBinStatistics{};
        const double reference = history.reference(bin);
        line += QByteArray::number(stats.count) + ',';
        line += (stats.count > 0 ? fixed(stats.mean) : QByteArray()) + ',';
        line += (stats.count > 1 ? fixed(stats.sd) : QByteArray()) + ',';
        line += (stats.count > 0 ? QByteArray::number(stats.maximum) : QByteArray()) + ',';
        line += (reference >= 0.0 ? fixed(reference) : QByteArray()) + ',';
        if (verified && reference >= 0.0 && code >= 2)
            line += fixed(code - reference);
        out += line + '\n';
    }
    return out;
}

QByteArray raw(const ScopeRecord &record)
{
    return record.captureLog.toUtf8() + "\n--- DS RAW (original bytes) ---\n" + record.raw;
}

bool write(const QString &csvPath, const QByteArray &csvBytes, const QString &rawPath,
           const QByteArray &rawBytes, QString *error)
{
    QSaveFile csvFile(csvPath);
    QSaveFile rawFile(rawPath);
    if (!csvFile.open(QIODevice::WriteOnly) || !rawFile.open(QIODevice::WriteOnly)) {
        *error = csvFile.isOpen() ? rawFile.errorString() : csvFile.errorString();
        return false;
    }
    if (csvFile.write(csvBytes) != csvBytes.size() || rawFile.write(rawBytes) != rawBytes.size()) {
        *error =
            csvFile.error() != QFileDevice::NoError ? csvFile.errorString() : rawFile.errorString();
        csvFile.cancelWriting();
        rawFile.cancelWriting();
        return false;
    }
    if (!csvFile.commit()) {
        *error = csvFile.errorString();
        rawFile.cancelWriting();
        return false;
    }
    if (!rawFile.commit()) {
        *error = rawFile.errorString();
        return false;
    }
    return true;
}

} // namespace BandScopeExport
