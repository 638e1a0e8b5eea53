// libFuzzer target: a replay configuration (an observation log's keys) as JSON bytes. Whatever
// the bytes, reading either refuses with a message or gives settings inside their ranges.

#include "jsontext.h"
#include "settingsinvariants.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QJsonDocument document = JsonText::parse(
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<int>(size)));
    AnomalySettings settings;
    QString error;
    if (DetectorSettings::fromJson(document.object(), &settings, &error)) {
        if (!error.isEmpty())
            std::abort();
        requireValid(settings);
    } else if (error.isEmpty()) {
        std::abort();
    }
    return 0;
}
