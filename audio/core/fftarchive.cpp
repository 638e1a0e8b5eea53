#include "fftarchive.h"

#include "jsontext.h"

#include <QIODevice>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace FftArchive {

namespace {

QByteArray line(const QJsonObject &record)
{
    // QJsonObject keeps its keys sorted, so the compact text has them in ascending order.
    return QJsonDocument(record).toJson(QJsonDocument::Compact) + '\n';
}

QString utcText(const QDateTime &utc)
{
    return utc.toUTC().toString(Qt::ISODateWithMs);
}

bool isWhole(double value, double low, double high)
{
    return std::isfinite(value) && value >= low && value <= high && std::floor(value) == value;
}

} // namespace

qint16 storedValue(double dbfs)
{
    const double hundredths = dbfs * 100.0;
    if (std::isnan(hundredths))
        return std::numeric_limits<qint16>::min();
    const double limited = std::clamp(hundredths, -32768.0, 32767.0);
    // std::round rounds half away from zero.
    return static_cast<qint16>(std::round(limited));
}

QByteArray encodeFrame(const QVector<double> &magnitudes)
{
    QByteArray raw(2 * magnitudes.size(), Qt::Uninitialized);
    auto *out = reinterpret_cast<uchar *>(raw.data());
    for (int i = 0; i < magnitudes.size(); ++i)
        qToLittleEndian<qint16>(storedValue(magnitudes[i]), out + 2 * i);
    return qCompress(raw, 1).toBase64();
}

QByteArray startLine(int bins, double firstBinHz, double binWidthHz, const QDateTime &utc)
{
    return line({{QStringLiteral("type"), QStringLiteral("fft_start")},
                 {QStringLiteral("schema"), schema},
                 {QStringLiteral("bins"), bins},
                 {QStringLiteral("first_bin_hz"), firstBinHz},
                 {QStringLiteral("bin_width_hz"), binWidthHz},
                 {QStringLiteral("value_scale_dbfs"), valueScaleDbfs},
                 {QStringLiteral("format"), QString::fromLatin1(format)},
                 {QStringLiteral("utc"), utcText(utc)}});
}

QByteArray frameLine(const QByteArray &data, qint64 receiverHz, const QDateTime &utc)
{
    return line({{QStringLiteral("type"), QStringLiteral("fft")},
                 {QStringLiteral("utc"), utcText(utc)},
                 {QStringLiteral("receiver_hz"), double(receiverHz)},
                 {QStringLiteral("data"), QString::fromLatin1(data)}});
}

QByteArray endLine(qint64 frames, const QDateTime &utc)
{
    return line({{QStringLiteral("type"), QStringLiteral("fft_end")},
                 {QStringLiteral("frames"), double(frames)},
                 {QStringLiteral("utc"), utcText(utc)}});
}

Reader::Reader(QIODevice &device)
    : m_device(device)
{}

Reader::Record Reader::next()
{
    if (!readLine())
        return Record::EndOfFile;
    return parseLine();
}

bool Reader::readLine()
{
    // Reads up to the next line feed in pieces; a line longer than the limit is consumed but
    // kept empty, and a last line without its line feed (a torn write) is kept empty too.
    m_line.clear();
    bool anything = false;
    bool tooLong = false;
    char piece[65536];
    for (;;) {
        const qint64 n = m_device.readLine(piece, sizeof piece);
        if (n <= 0)
            break;
        anything = true;
        if (!tooLong && m_line.size() + n <= maxLineBytes) {
            m_line.append(piece, int(n));
        } else {
            tooLong = true;
            m_line.clear();
        }
        if (piece[n - 1] == '\n')
            return true;
    }
    m_line.clear();
    return anything;
}

Reader::Record Reader::skip()
{
    ++m_skipped;
    return Record::Skipped;
}

Reader::Record Reader::parseLine()
{
    if (m_line.isEmpty())
        return skip();
    const QJsonDocument document = JsonText::parse(m_line);
    if (!document.isObject())
        return skip();
    const QJsonObject record = document.object();
    const QString type = record.value(QStringLiteral("type")).toString();
    if (type == QLatin1String("fft"))
        return parseFrame(record) ? Record::Frame : skip();
    if (type == QLatin1String("fft_start"))
        return parseStart(record) ? Record::Start : skip();
    if (type == QLatin1String("fft_end")) {
        const double frames = record.value(QStringLiteral("frames")).toDouble(-1.0);
        if (!isWhole(frames, 0.0, 9e15))
            return skip();
        m_sawEnd = true;
        m_endFrames = static_cast<qint64>(frames);
        m_endUtc = record.value(QStringLiteral("utc")).toString();
        return Record::End;
    }
    return skip();
}

bool Reader::parseStart(const QJsonObject &record)
{
    if (hasStart())
        return false;
    const double bins = record.value(QStringLiteral("bins")).toDouble(-1.0);
    const double first = record.value(QStringLiteral("first_bin_hz")).toDouble(qQNaN());
    const double width = record.value(QStringLiteral("bin_width_hz")).toDouble(qQNaN());
    const double scale = record.value(QStringLiteral("value_scale_dbfs")).toDouble(qQNaN());
    if (record.value(QStringLiteral("schema")).toDouble() != schema ||
        record.value(QStringLiteral("format")).toString() != QLatin1String(format) ||
        !isWhole(bins, minBins, maxBins) || !std::isfinite(first) || !std::isfinite(width) ||
        width <= 0.0 || !(std::fabs(scale - valueScaleDbfs) < 1e-12)) {
        return false;
    }
    m_bins = static_cast<int>(bins);
    m_firstBinHz = first;
    m_binWidthHz = width;
    m_startUtc = record.value(QStringLiteral("utc")).toString();
    m_inflated.resize(2 * m_bins);
    m_values.assign(static_cast<size_t>(m_bins), 0);
    return true;
}

bool Reader::parseFrame(const QJsonObject &record)
{
    if (!hasStart())
        return false;
    const double receiver = record.value(QStringLiteral("receiver_hz")).toDouble(qQNaN());
    const QJsonValue data = record.value(QStringLiteral("data"));
    if (!isWhole(receiver, -9e15, 9e15) || !data.isString() ||
        !decode(data.toString().toLatin1())) {
        return false;
    }
    m_receiverHz = static_cast<qint64>(receiver);
    m_frameUtc = record.value(QStringLiteral("utc")).toString();
    return true;
}

bool Reader::decode(const QByteArray &base64)
{
    const QByteArray::FromBase64Result decoded =
        QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() < 4)
        return false;
    const QByteArray &packed = decoded.decoded;
    const quint32 length = qFromBigEndian<quint32>(packed.constData());
    if (length != quint32(2 * m_bins))
        return false;

    // Inflate into the frame's own buffer: a stream that would produce more than the stated
    // length stops with the buffer full and is refused.
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return false;
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(packed.constData() + 4));
    stream.avail_in = static_cast<uInt>(packed.size() - 4);
    stream.next_out = reinterpret_cast<Bytef *>(m_inflated.data());
    stream.avail_out = static_cast<uInt>(length);
    const int result = inflate(&stream, Z_FINISH);
    const bool complete =
        result == Z_STREAM_END && stream.total_out == length && stream.avail_in == 0;
    inflateEnd(&stream);
    if (!complete)
        return false;
    const auto *in = reinterpret_cast<const uchar *>(m_inflated.constData());
    for (int i = 0; i < m_bins; ++i)
        m_values[static_cast<size_t>(i)] = qFromLittleEndian<qint16>(in + 2 * i);
    return true;
}

} // namespace FftArchive
