#include "dsframe.h"

#include "scopespan.h"

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

void DsFrame::reset(int spanCode)
{
    codes.fill(-1);
    rowsReceived = 0;
    malformed = 0;
    rejected = false;
    rows = ScopeSpan::isWide(spanCode) ? wideRows : 0;
    m_lines.clear();
}

void DsFrame::feed(const QByteArray &bytes)
{
    m_lines.feed(bytes, [this](const QByteArray &line, bool overflowed) {
        if (overflowed)
            ++malformed;
        else
            judge(line);
    });
}

bool DsFrame::isComplete() const
{
    return rows > 0 && rowsReceived == rows && malformed == 0 && !rejected &&
           !m_lines.hasPartialLine();
}

bool DsFrame::parseRow(const QByteArray &line, int start, int *top,
                       std::array<int, rowBins> *rowCodes)
{
    int pos = start + 2; // after "DS"
    if (pos + 4 > line.size())
        return false;
    int number = 0;
    for (int i = 0; i < 4; ++i, ++pos) {
        const char c = line[pos];
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + (c - '0');
    }
    if (number < rowBins - 1 || number >= maxBins || number % rowBins != rowBins - 1)
        return false;
    while (pos < line.size() && isBlank(line[pos]))
        ++pos;
    if (pos < line.size() && line[pos] == ':')
        ++pos;
    int digits = 0;
    for (; pos < line.size(); ++pos) {
        const char c = line[pos];
        if (isBlank(c))
            continue;
        const int value = hexValue(c);
        if (value < 0 || digits == rowBins)
            return false;
        (*rowCodes)[static_cast<size_t>(digits++)] = value;
    }
    *top = number;
    return digits == rowBins;
}

void DsFrame::judge(const QByteArray &line)
{
    int start = 0;
    while (start < line.size() && isBlank(line[start]))
        ++start;
    if (start < line.size() && line[start] == '?') {
        rejected = true;
        return;
    }
    // Echoes of the command and status lines are not rows.
    if (line.mid(start, 2) != "DS" || line.size() - start == 2)
        return;

    int top = 0;
    std::array<int, rowBins> rowCodes{};
    if (!parseRow(line, start, &top, &rowCodes)) {
        ++malformed;
        return;
    }
    if (rows == 0) {
        if (top == wideRows * rowBins - 1) {
            rows = wideRows;
        } else if (top == narrowRows * rowBins - 1) {
            rows = narrowRows;
        } else {
            ++malformed;
            return;
        }
    }
    // Rows come from the top, each once.
    const int expectedTop = (rows - rowsReceived) * rowBins - 1;
    if (rowsReceived >= rows || top != expectedTop || codes[static_cast<size_t>(top)] != -1) {
        ++malformed;
        return;
    }
    for (int i = 0; i < rowBins; ++i)
        codes[static_cast<size_t>(top - i)] = rowCodes[static_cast<size_t>(i)];
    ++rowsReceived;
}
