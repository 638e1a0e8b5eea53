// libFuzzer target: the detector settings as the settings store hands them out. The input is
// lines "KEY=VALUE": the value is text, or, for a key written "KEY!", the raw bits of a double
// (NaN, infinities and denormals included). Whatever the store holds, the settings read are
// inside their ranges.

#include "settingsinvariants.h"

#include <QHash>
#include <QList>

#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QHash<QString, QVariant> store;
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<int>(size));
    for (const QByteArray &line : input.split('\n')) {
        const int equals = line.indexOf('=');
        if (equals <= 0)
            continue;
        QByteArray key = line.left(equals);
        const QByteArray value = line.mid(equals + 1);
        if (key.endsWith('!')) {
            key.chop(1);
            double number = 0.0;
            std::memcpy(&number, value.leftJustified(8, '\0').constData(), sizeof number);
            store.insert(QString::fromUtf8(key), number);
        } else {
            store.insert(QString::fromUtf8(key), QString::fromUtf8(value));
        }
    }
    requireValid(DetectorSettings::read([&store](const QString &key) { return store.value(key); }));
    return 0;
}
