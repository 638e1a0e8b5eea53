#include "scopemodel.h"

#include "bandplan.h"
#include "receivermodel.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace {

constexpr qint64 lowestHz = 100000;
constexpr qint64 highestHz = 3000000000LL;
constexpr int notMeasuredOneIn = 250; // how often a bin comes back 0 (not measured)
constexpr int longLineBytes = 300;

bool isDigits(const QByteArray &text, int count)
{
    return text.size() == count &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

QByteArray tenDigits(qint64 hz)
{
    return QByteArray::number(hz).rightJustified(10, '0');
}

} // namespace

bool ScopeVariants::parse(const QString &list, ScopeVariants *variants)
{
    ScopeVariants result;
    for (const QString &name : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (name == QLatin1String("crlf"))
            result.crlf = true;
        else if (name == QLatin1String("lower"))
            result.lower = true;
        else if (name == QLatin1String("blanks"))
            result.blanks = true;
        else if (name == QLatin1String("echo"))
            result.echo = true;
        else
            return false;
    }
    *variants = result;
    return true;
}

ScopeModel::ScopeModel(const BandPlan &plan)
    : m_plan(plan)
    , m_random(9090u)
{
    resetPeaks();
}

SimReply ScopeModel::line(const QByteArray &text, int delayMs, bool scope) const
{
    return SimReply{text + (m_variants.crlf ? "\r\n" : "\r"), delayMs, scope};
}

QByteArray ScopeModel::status(bool withMarker) const
{
    QByteArray text = "AM CF" + tenDigits(m_centre) + " SW" + QByteArray::number(m_span);
    if (withMarker)
        text += " MF" + tenDigits(m_marker);
    return text + " PH" + QByteArray::number(m_peakHold);
}

bool ScopeModel::setCentre(const QByteArray &argument)
{
    qint64 hz = 0;
    if (isDigits(argument, 10)) {
        if (m_faults.hits(ScopeFault::CfMhzOnly))
            return true; // taken without complaint, and without effect
        hz = argument.toLongLong();
    } else {
        static const QRegularExpression mhzForm(QStringLiteral("^([0-9]{1,4})\\.([0-9]{3})$"));
        const QRegularExpressionMatch match = mhzForm.match(QString::fromLatin1(argument));
        if (!match.hasMatch())
            return false;
        hz = match.captured(1).toLongLong() * 1000000 + match.captured(2).toLongLong() * 1000;
    }
    if (hz < lowestHz || hz > highestHz)
        return false;
    if (hz != m_centre)
        resetPeaks();
    m_centre = hz;
    return true;
}

int ScopeModel::levelCode(qint64 hertz)
{
    if (hertz < lowestHz || hertz > highestHz)
        return 1;
    if (std::uniform_int_distribution<int>(0, notMeasuredOneIn - 1)(m_random) == 0)
        return 0;
    const int noise = std::uniform_int_distribution<int>(0, 1)(m_random);
    return std::clamp(2 + m_plan.levelAt(static_cast<quint64>(hertz)) / 16 + noise, 2, 15);
}

QByteArray ScopeModel::row(int top, const std::array<int, 1024> &codes, int digits) const
{
    QByteArray text = "DS" + QByteArray::number(top).rightJustified(4, '0');
    text += m_variants.blanks ? " : " : ":";
    const char *hex = m_variants.lower ? "0123456789abcdef" : "0123456789ABCDEF";
    for (int i = 0; i < digits; ++i) {
        if (m_variants.blanks && i > 0 && i % 4 == 0)
            text += ' ';
        // Digits past the row's 32 repeat its last bin.
        const int bin = std::max(top - std::min(i, 31), 0);
        text += hex[codes[static_cast<size_t>(bin)]];
    }
    return text;
}

QVector<SimReply> ScopeModel::frame(int firstDelayMs)
{
    const bool narrow = m_span >= 6;
    const int rows = narrow ? m_narrowRows : 32;
    const qint64 step = narrow ? 2000 : 10000;
    const int centreBin = narrow ? 64 : 512;
    std::array<int, 1024> codes{};
    for (int bin = 0; bin < rows * 32; ++bin) {
        int code = levelCode(m_centre + (bin - centreBin) * step);
        if (m_peakHold == 1) {
            code = std::max(code, m_peaks[static_cast<size_t>(bin)]);
            m_peaks[static_cast<size_t>(bin)] = code;
        }
        codes[static_cast<size_t>(bin)] = code;
    }

    QVector<QByteArray> lines;
    for (int r = 0; r < rows; ++r)
        lines.append(row((rows - r) * 32 - 1, codes, 32));
    if (m_faults.hits(ScopeFault::Ds31Digits))
        lines[0] = row(rows * 32 - 1, codes, 31);
    if (m_faults.hits(ScopeFault::Ds33Digits))
        lines[0] = row(rows * 32 - 1, codes, 33);
    if (rows > 1 && m_faults.hits(ScopeFault::DsBadRow))
        lines[1] = row((rows - 1) * 32 - 2, codes, 32);
    if (rows > 2 && m_faults.hits(ScopeFault::DsOutOfOrder))
        std::swap(lines[1], lines[2]);
    if (rows > 1 && m_faults.hits(ScopeFault::DsRepeat))
        lines.insert(2, lines[1]);
    if (m_faults.hits(ScopeFault::DsGarbage)) {
        QByteArray junk;
        std::uniform_int_distribution<int> printable(0x21, 0x7e);
        for (int i = 0; i < 24; ++i) {
            char c = static_cast<char>(printable(m_random));
            junk += c == '?' ? '#' : c;
        }
        lines.insert(1, "#" + junk);
    }
    if (m_faults.hits(ScopeFault::DsLongLine))
        lines.prepend(QByteArray(longLineBytes, 'X'));
    if (m_faults.hits(ScopeFault::DsStall))
        lines.resize(std::max(1, rows / 2));

    QVector<SimReply> replies;
    for (int i = 0; i < lines.size(); ++i)
        replies.append(line(lines[i], firstDelayMs + m_sweepMs + i * m_rowMs, true));
    return replies;
}

void ScopeModel::noteCommand(const QByteArray &command)
{
    if (!command.isEmpty() && !m_chattering && m_faults.hits(ScopeFault::Chatter))
        m_chattering = true;
}

bool ScopeModel::handle(const QByteArray &command, QVector<SimReply> *replies)
{
    const QByteArray head = command.left(2);
    const QByteArray argument = command.mid(2);
    const bool scopeCommand = command == "AM" || command == "DS" || command == "PH0" ||
                              command == "PH1" || head == "CF" || head == "SW" || head == "MF";
    if (!scopeCommand)
        return false;
    if (m_variants.echo)
        replies->append(line(command));
    const SimReply reject = line("?");

    if (command == "AM") {
        replies->append(line(status(!m_faults.hits(ScopeFault::AmNoMarker))));
    } else if (head == "CF") {
        if (!setCentre(argument))
            replies->append(reject);
    } else if (head == "SW") {
        if (argument.size() != 1 || argument[0] < '1' || argument[0] > '7')
            replies->append(reject);
        else if (!m_faults.hits(ScopeFault::SwIgnored) && m_span != argument[0] - '0') {
            m_span = argument[0] - '0';
            resetPeaks();
        }
    } else if (head == "MF") {
        const qint64 hz = argument.toLongLong();
        if (!isDigits(argument, 10) || hz < lowestHz || hz > highestHz)
            replies->append(reject);
        else
            m_marker = hz;
    } else if (command == "PH0" || command == "PH1") {
        const int hold = command == "PH1" ? 1 : 0;
        if (!(hold == 1 && m_faults.hits(ScopeFault::PhIgnored)) && hold != m_peakHold) {
            m_peakHold = hold;
            resetPeaks();
        }
    } else if (m_faults.hits(ScopeFault::DsReject)) {
        replies->append(reject);
    } else {
        m_streaming = m_continuous;
        replies->append(frame(0));
    }
    return true;
}

QVector<SimReply> ScopeModel::continueStream()
{
    if (m_streaming)
        return frame(m_gapMs);
    if (m_chattering)
        return {line(status(true), m_chatterMs, true)};
    return {};
}

void ScopeModel::stop()
{
    m_streaming = false;
    m_cancel = true;
}

bool ScopeModel::takeCancel()
{
    const bool cancel = m_cancel;
    m_cancel = false;
    return cancel;
}

void ScopeModel::clearFaults()
{
    m_faults.clear();
    m_chattering = false;
}
