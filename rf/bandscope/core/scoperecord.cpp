#include "scoperecord.h"

#include "serialline.h"

int ScopeRecord::appendRaw(const QByteArray &bytes)
{
    const int room = qMax(0, maxRawBytes - raw.size());
    raw.append(bytes.left(room));
    return qMax(0, bytes.size() - room);
}

QString ScopeRecord::logViewText() const
{
    QByteArray text = raw;
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    return captureLog + QStringLiteral("\n--- DS RAW ---\n") + QString::fromLatin1(text);
}

namespace ScopeLog {

void appendRaw(QString *log, const QString &text)
{
    log->append(text);
    if (log->size() > truncateAbove)
        *log = QStringLiteral("[earlier log truncated]\n") + log->right(keepCharacters);
}

void append(QString *log, const QString &line)
{
    appendRaw(log, line + QLatin1Char('\n'));
}

QString printable(const QByteArray &bytes)
{
    return SerialLine::printable(bytes);
}

QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' '));
}

} // namespace ScopeLog

ScopeFrameCounts ScopeFrameCounts::of(const DsFrame &frame)
{
    ScopeFrameCounts counts;
    const int bins = frame.binCount();
    for (int i = 0; i < bins; ++i) {
        const int code = frame.codes[static_cast<size_t>(i)];
        if (code < 0)
            ++counts.missing;
        else if (code == 0)
            ++counts.zeros;
        else if (code == 1)
            ++counts.ones;
        else
            ++counts.valid;
        counts.saturated += code == 15 ? 1 : 0;
    }
    counts.omitted = DsFrame::maxBins - bins;
    return counts;
}
