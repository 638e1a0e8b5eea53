#include "rfstatistics.h"

#include <QCoreApplication>

#include <cmath>

void RfStatistics::add(qint64 frequency, int level, int mode)
{
    ++m_processed;
    if (level < 0 || level >= levels)
        return;
    ++m_valid;
    ++m_histogram[static_cast<size_t>(level)];

    int at = 0;
    while (at < m_top.size() && m_top[at].level >= level)
        ++at;
    if (at == topSize)
        return;
    m_top.insert(at, RfTopEntry{frequency, level, mode});
    if (m_top.size() > topSize)
        m_top.removeLast();
}

int RfStatistics::minimum() const
{
    for (int level = 0; level < levels; ++level) {
        if (countAt(level) > 0)
            return level;
    }
    return 0;
}

int RfStatistics::maximum() const
{
    for (int level = levels - 1; level >= 0; --level) {
        if (countAt(level) > 0)
            return level;
    }
    return 0;
}

double RfStatistics::mean() const
{
    if (m_valid == 0)
        return 0.0;
    qint64 sum = 0;
    for (int level = 0; level < levels; ++level)
        sum += level * countAt(level);
    return double(sum) / double(m_valid);
}

int RfStatistics::levelAtRank(qint64 rank) const
{
    qint64 cumulative = 0;
    for (int level = 0; level < levels; ++level) {
        cumulative += countAt(level);
        if (cumulative > rank)
            return level;
    }
    return levels - 1;
}

double RfStatistics::median() const
{
    if (m_valid == 0)
        return 0.0;
    return (levelAtRank((m_valid - 1) / 2) + levelAtRank(m_valid / 2)) / 2.0;
}

double RfStatistics::standardDeviation() const
{
    if (m_valid == 0)
        return 0.0;
    // 64-bit: level^2 x count reaches about 2 x 10^12 for a whole-range sweep.
    qint64 squares = 0;
    for (int level = 0; level < levels; ++level)
        squares += qint64(level) * level * countAt(level);
    const double average = mean();
    const double variance = double(squares) / double(m_valid) - average * average;
    return variance > 0.0 ? std::sqrt(variance) : 0.0;
}

QString RfStatistics::text() const
{
    if (m_valid == 0)
        return QCoreApplication::translate("RfSweep", "No valid S-meter readings.");
    return QCoreApplication::translate(
               "RfSweep", "Min %1 | Max %2\nMean %3 | Median %4\nStandard deviation %5")
        .arg(minimum())
        .arg(maximum())
        .arg(QString::number(mean(), 'f', 1), QString::number(median(), 'f', 1),
             QString::number(standardDeviation(), 'f', 1));
}
