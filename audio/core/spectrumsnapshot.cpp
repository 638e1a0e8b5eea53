#include "spectrumsnapshot.h"

#include <QSaveFile>

#include <algorithm>

namespace SpectrumSnapshot {

Result writeCsv(const QString &path, const QVector<double> &frequencies,
                const QVector<double> &levels, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        *error = file.errorString();
        return Result::OpenFailed;
    }
    QByteArray text("frequency_hz,level_dbfs\n");
    const int count = std::min(frequencies.size(), levels.size());
    text.reserve(text.size() + 24 * count);
    for (int i = 0; i < count; ++i) {
        // QByteArray::number does not follow the locale: decimal point, no grouping.
        text += QByteArray::number(frequencies[i], 'g', 6) + ',' +
                QByteArray::number(levels[i], 'g', 6) + '\n';
    }
    if (file.write(text) != text.size() || !file.commit()) {
        *error = file.errorString();
        file.cancelWriting();
        return Result::WriteFailed;
    }
    return Result::Saved;
}

} // namespace SpectrumSnapshot
