#include "smartscanarchive.h"

#include "jsontext.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>

#include <algorithm>
#include <cmath>

namespace {

constexpr double lowestHz = 100000.0;
constexpr double highestHz = 3000000000.0;

// The value as a 64-bit integer when it is a JSON number holding a whole value in
// [low, high]; else -1 (every caller's range starts above 0).
qint64 wholeNumber(const QJsonValue &value, double low, double high)
{
    if (!value.isDouble())
        return -1;
    const double number = value.toDouble();
    if (!(number >= low && number <= high) || std::floor(number) != number)
        return -1;
    return static_cast<qint64>(number);
}

bool saneStart(const QJsonObject &start)
{
    if (start.value(QStringLiteral("type")).toString() != QLatin1String("scan_start") ||
        wholeNumber(start.value(QStringLiteral("schema")), 1, 1) != 1)
        return false;
    const qint64 from = wholeNumber(start.value(QStringLiteral("start_hz")), lowestHz, highestHz);
    const qint64 to = wholeNumber(start.value(QStringLiteral("end_hz")), lowestHz, highestHz);
    const qint64 step = wholeNumber(start.value(QStringLiteral("step_hz")), 1, highestHz);
    const qint64 points = wholeNumber(start.value(QStringLiteral("points")), 1, highestHz);
    return from > 0 && to >= from && step > 0 && points == (to - from) / step + 1;
}

// Reads lines of at most the cap through one buffer allocated once per archive.
class LineReader
{
public:
    LineReader(QFile &file, int lineCap)
        : m_file(file)
        , m_lineCap(lineCap)
        // Room for a line at the cap, its line feed and the terminator readLine adds.
        , m_buffer(lineCap + 2, Qt::Uninitialized)
    {}

    // The next line without its line feed in *line. A line longer than the cap is read through
    // in pieces and reported as too long. False at the end of the file.
    bool next(QByteArray *line, bool *tooLong)
    {
        *tooLong = false;
        line->clear();
        qint64 length = read();
        if (length <= 0)
            return false;
        if (m_buffer[int(length) - 1] == '\n') {
            *line = QByteArray(m_buffer.constData(), int(length) - 1);
            return true;
        }
        if (m_file.atEnd() && length <= m_lineCap) {
            *line = QByteArray(m_buffer.constData(), int(length)); // the last line, no line feed
            return true;
        }
        *tooLong = true;
        while ((length = read()) > 0 && m_buffer[int(length) - 1] != '\n') {
        }
        return true;
    }

private:
    qint64 read() { return m_file.readLine(m_buffer.data(), m_buffer.size()); }

    QFile &m_file;
    int m_lineCap;
    QByteArray m_buffer;
};

QJsonObject parseObject(const QByteArray &line)
{
    const QJsonDocument document = JsonText::parse(line);
    if (!document.isObject())
        return {};
    return document.object();
}

} // namespace

bool isDetectedOutcome(const QString &outcome)
{
    return outcome == QLatin1String("possible") || outcome == QLatin1String("tone") ||
           outcome == QLatin1String("modulated");
}

bool SmartScanCounters::countResult(const QString &outcome)
{
    if (outcome == QLatin1String("quiet"))
        ++quiet;
    else if (outcome == QLatin1String("noise"))
        ++noise;
    else if (isDetectedOutcome(outcome))
        ++detected;
    else
        return false;
    return true;
}

QString SmartScanCounters::summary() const
{
    return QCoreApplication::translate("SmartScan", "%1 detected | %2 quiet | %3 noise | %4 "
                                                    "unreadable")
        .arg(detected)
        .arg(quiet)
        .arg(noise)
        .arg(unreadable);
}

QString SmartScanArchiveWriter::fileName(const QDateTime &localTime, qint64 processId)
{
    return QStringLiteral("scan_%1_%2.jsonl")
        .arg(localTime.toString(QStringLiteral("yyyyMMdd_HHmmss_zzz")))
        .arg(processId);
}

bool SmartScanArchiveWriter::open(const QString &path, QString *error)
{
    close();
    m_file.setFileName(path);
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        *error = QCoreApplication::translate("SmartScan", "The folder could not be created.");
        return false;
    }
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *error = m_file.errorString();
        return false;
    }
    return true;
}

bool SmartScanArchiveWriter::write(const QJsonObject &record, QString *error)
{
    QByteArray line = QJsonDocument(record).toJson(QJsonDocument::Compact);
    line += '\n';
    if (!m_file.isOpen() || m_file.write(line) != line.size() || !m_file.flush()) {
        *error = m_file.errorString();
        return false;
    }
    return true;
}

void SmartScanArchiveWriter::close()
{
    if (m_file.isOpen())
        m_file.close();
}

namespace SmartScanArchive {

qint64 recordFrequency(const QJsonObject &record)
{
    return std::max<qint64>(
        0, wholeNumber(record.value(QStringLiteral("frequency_hz")), lowestHz, highestHz));
}

double rounded(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

ReadStatus read(const QString &path, SmartScanArchiveContents *contents, QString *error,
                int lineCap)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return ReadStatus::CannotOpen;
    }
    LineReader lines(file, std::clamp(lineCap, 1, maxLineBytes));
    QByteArray line;
    bool tooLong = false;
    if (!lines.next(&line, &tooLong) || tooLong)
        return ReadStatus::Unsupported;
    const QJsonObject start = parseObject(line);
    if (!saneStart(start))
        return ReadStatus::Unsupported;

    *contents = SmartScanArchiveContents();
    contents->start = start;
    while (lines.next(&line, &tooLong)) {
        const QJsonObject record = tooLong ? QJsonObject() : parseObject(line);
        if (record.isEmpty()) {
            ++contents->skipped;
            continue;
        }
        if (record.value(QStringLiteral("type")).toString() != QLatin1String("frequency"))
            continue;
        const QString outcome = record.value(QStringLiteral("outcome")).toString();
        if (outcome == QLatin1String("incomplete") || outcome == QLatin1String("tuning_failed"))
            continue;
        if (recordFrequency(record) == 0) {
            ++contents->skipped;
            continue;
        }
        ++contents->processed;
        if (outcome == QLatin1String("unreadable"))
            ++contents->counters.unreadable;
        else if (contents->counters.countResult(outcome))
            contents->results.append(record);
    }
    return ReadStatus::Ok;
}

} // namespace SmartScanArchive
