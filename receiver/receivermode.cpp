#include "receivermode.h"

#include <array>

namespace {
const std::array<const char *, receiverModeCount> modeNames = {"WFM", "NFM", "AM",  "USB", "LSB",
                                                               "CW",  "SFM", "WAM", "NAM", "AUTO"};
}

QString receiverModeName(int code)
{
    if (code < 0 || code >= receiverModeCount)
        return QString();
    return QString::fromLatin1(modeNames[static_cast<size_t>(code)]);
}

QStringList receiverModeNames()
{
    QStringList names;
    for (const char *name : modeNames)
        names << QString::fromLatin1(name);
    return names;
}

int receiverModeFromName(const QString &name)
{
    for (int code = 0; code < receiverModeCount; ++code) {
        if (name.compare(QLatin1String(modeNames[static_cast<size_t>(code)]),
                         Qt::CaseInsensitive) == 0)
            return code;
    }
    return -1;
}
