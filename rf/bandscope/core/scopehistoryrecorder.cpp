#include "scopehistoryrecorder.h"

#include "bandscopeview.h"

#include <QDateTime>
#include <QSaveFile>

ScopeHistoryRecorder::~ScopeHistoryRecorder()
{
    QString ignored;
    stop(&ignored);
}

QString ScopeHistoryRecorder::imagePathFor(const QString &csvPath)
{
    const QString stem = csvPath.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive)
                             ? csvPath.left(csvPath.size() - 4)
                             : csvPath;
    return stem + QStringLiteral(".png");
}

QByteArray ScopeHistoryRecorder::headerLine()
{
    QByteArray header = "utc,center_hz,span_code,peak_hold,bins";
    for (int bin = 0; bin < BandScopeHistory::bins; ++bin)
        header += ",bin_" + QByteArray::number(bin);
    return header + '\n';
}

bool ScopeHistoryRecorder::start(const QString &csvPath, QString *error)
{
    QString ignored;
    stop(&ignored);
    m_rows.clear();
    m_sweeps = 0;
    m_file.setFileName(csvPath);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *error = m_file.errorString();
        return false;
    }
    const QByteArray header = headerLine();
    if (m_file.write(header) != header.size() || !m_file.flush()) {
        *error = m_file.errorString();
        m_file.close();
        return false;
    }
    m_sinceImage.start();
    return true;
}

bool ScopeHistoryRecorder::append(const ScopeHistoryKey &key, const ScopeSweep &sweep,
                                  QString *error)
{
    if (!m_file.isOpen()) {
        *error = QStringLiteral("not recording");
        return false;
    }
    QByteArray line =
        QDateTime::fromMSecsSinceEpoch(sweep.utcMs, Qt::UTC).toString(Qt::ISODateWithMs).toLatin1();
    line += ',' + QByteArray::number(key.centreHz) + ',' + QByteArray::number(key.spanCode) + ',' +
            (key.peakHold >= 0 ? QByteArray::number(key.peakHold) : QByteArray()) + ',' +
            QByteArray::number(key.binCount);
    for (const qint8 code : sweep.codes) {
        line += ',';
        if (code >= 0)
            line += QByteArray::number(code);
    }
    line += '\n';
    if (m_file.write(line) != line.size() || !m_file.flush()) {
        *error = m_file.errorString();
        return false;
    }
    ++m_sweeps;
    m_rows.push_front(sweep);
    if (m_rows.size() > maxImageRows)
        m_rows.pop_back();
    if (m_sinceImage.elapsed() >= imageIntervalMs)
        return writeImage(error);
    return true;
}

bool ScopeHistoryRecorder::writeImage(QString *error)
{
    m_sinceImage.restart();
    const int height = std::max<int>(1, static_cast<int>(m_rows.size()));
    QImage image(BandScopeHistory::bins, height, QImage::Format_RGB32);
    image.fill(QColor(QLatin1String(BandScopeView::background)));
    for (int y = 0; y < static_cast<int>(m_rows.size()); ++y)
        BandScopeView::paintCodes(reinterpret_cast<QRgb *>(image.scanLine(y)),
                                  m_rows[static_cast<size_t>(y)].codes.data(),
                                  BandScopeHistory::bins);
    QSaveFile file(imagePath());
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

bool ScopeHistoryRecorder::stop(QString *error)
{
    if (!m_file.isOpen())
        return true;
    const bool imageOk = writeImage(error);
    m_file.close();
    return imageOk;
}
