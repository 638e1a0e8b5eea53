#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>
#include <QtGlobal>

#include <vector>

class QIODevice;
class QJsonObject;

// The live FFT archive: a JSON Lines file, one compact JSON object per line with its keys in
// ascending order and "utc" as ISO 8601 with milliseconds:
//
//   {"bin_width_hz":11.71875,"bins":2049,"first_bin_hz":0,"format":"base64(qCompress(s16le))",
//    "schema":1,"type":"fft_start","utc":"..."}
//   {"data":"...","receiver_hz":7050000,"type":"fft","utc":"..."}      (one per frame)
//   {"frames":1234,"type":"fft_end","utc":"..."}
//
// A frame's "data" holds every magnitude in hundredths of a dBFS, rounded half away from zero,
// as signed 16-bit little-endian values, compressed by qCompress at level 1 (a 4-byte
// big-endian length, then a zlib stream) and encoded in standard Base64. UI-free; any thread.
namespace FftArchive {

constexpr int schema = 1;
constexpr double valueScaleDbfs = 0.01;
constexpr const char *format = "base64(qCompress(s16le))";
// Frames the reader accepts: 2 ... 65 537 bins (an FFT of up to 131 072 points).
constexpr int minBins = 2;
constexpr int maxBins = 65537;

// Magnitude in dBFS -> stored value (hundredths, half away from zero, saturated to 16 bits).
qint16 storedValue(double dbfs);
// The Base64 text of one frame.
QByteArray encodeFrame(const QVector<double> &magnitudes);

// The three records, each a compact JSON object followed by a line feed. utc is converted to UTC.
QByteArray startLine(int bins, double firstBinHz, double binWidthHz, const QDateTime &utc);
QByteArray frameLine(const QByteArray &data, qint64 receiverHz, const QDateTime &utc);
QByteArray endLine(qint64 frames, const QDateTime &utc);

// Reads an archive record by record without trusting it: every line is length-limited, a
// frame's stated length must be exactly 2 x bins and its zlib stream is inflated into a buffer
// of that size, so a hostile file can neither allocate nor write beyond one frame. Lines that
// are not records, frames before the start record or of another size, bad Base64 or zlib data,
// a second start record and torn lines are skipped and counted. Not thread-safe.
class Reader
{
public:
    enum class Record { Start, Frame, End, Skipped, EndOfFile };

    // Longest line read; a longer one is skipped (a 65 537-bin frame needs under 200 KiB).
    static constexpr qint64 maxLineBytes = 1 << 20;

    // Reads from device, which must be open for reading and outlive the reader.
    explicit Reader(QIODevice &device);

    // Reads the next line and tells what it held.
    Record next();

    // From the start record (valid once it was read).
    bool hasStart() const { return m_bins > 0; }
    int bins() const { return m_bins; }
    double firstBinHz() const { return m_firstBinHz; }
    double binWidthHz() const { return m_binWidthHz; }
    QString startUtc() const { return m_startUtc; }

    // The frame just read: the stored values (hundredths of a dBFS), its time and frequency.
    const std::vector<qint16> &values() const { return m_values; }
    QString frameUtc() const { return m_frameUtc; }
    qint64 receiverHz() const { return m_receiverHz; }

    // From the end record (valid once it was read).
    bool sawEnd() const { return m_sawEnd; }
    qint64 endFrames() const { return m_endFrames; }
    QString endUtc() const { return m_endUtc; }

    qint64 skippedLines() const { return m_skipped; }

private:
    bool readLine();
    Record parseLine();
    bool parseStart(const QJsonObject &record);
    bool parseFrame(const QJsonObject &record);
    bool decode(const QByteArray &base64);
    Record skip();

    QIODevice &m_device;
    QByteArray m_line;
    QByteArray m_inflated;
    std::vector<qint16> m_values;
    int m_bins = 0;
    double m_firstBinHz = 0.0;
    double m_binWidthHz = 0.0;
    QString m_startUtc;
    QString m_frameUtc;
    qint64 m_receiverHz = 0;
    bool m_sawEnd = false;
    qint64 m_endFrames = 0;
    QString m_endUtc;
    qint64 m_skipped = 0;
};

} // namespace FftArchive
