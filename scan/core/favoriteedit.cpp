#include "favoriteedit.h"

#include "favoriteattributes.h"

#include <QCoreApplication>

#include <cmath>

namespace {

using Field = FavoriteEditResult::Field;

QString text(const char *source)
{
    return QCoreApplication::translate("FavoriteEditor", source);
}

bool readNumber(const QString &typed, double *value)
{
    QString number = typed.trimmed();
    number.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    *value = number.toDouble(&ok);
    return ok && std::isfinite(*value);
}

struct NumericField
{
    Field field;
    const char *key;
    double maximum;
    bool whole; // whole numbers from 0; otherwise dBFS, one decimal
};

// Applies one numeric field to attributes; false when the text is refused.
bool applyNumber(const NumericField &rule, const QString &typed, QJsonObject &attributes)
{
    const QString key = QLatin1String(rule.key);
    const QString trimmed = typed.trimmed();
    if (trimmed == attributes.value(key).toString())
        return true;
    if (trimmed.isEmpty()) {
        attributes.remove(key);
        return true;
    }
    double value = 0.0;
    if (!readNumber(trimmed, &value) || value > rule.maximum)
        return false;
    if (rule.whole && (value < 0.0 || value != std::floor(value)))
        return false;
    attributes.insert(key, QString::number(value, 'f', rule.whole ? 0 : 1));
    return true;
}

} // namespace

FavoriteEditResult validateFavoriteEdit(const FavoriteEditInput &input, const QJsonObject &original,
                                        const QString &classificationCell,
                                        const QString &discoveredCell)
{
    namespace A = FavoriteAttributes;
    FavoriteEditResult result;
    const auto refuse = [&result](Field field, const QString &message) {
        result.failed = field;
        result.message = message;
        result.attributes = QJsonObject();
        return result;
    };

    double megahertz = 0.0;
    if (!readNumber(input.frequency, &megahertz) || megahertz < 0.1 || megahertz > 3000.0)
        return refuse(Field::Frequency,
                      text(QT_TRANSLATE_NOOP("FavoriteEditor",
                                             "Enter a frequency between 0.1 and 3000 MHz.")));

    result.attributes = original;
    const NumericField rules[] = {{Field::SMeter, A::sMeter, 255.0, true},
                                  {Field::Rms, A::dbfsRms, 0.0, false},
                                  {Field::Peak, A::dbfsPeak, 0.0, false},
                                  {Field::Quality, A::quality, 100.0, true}};
    const QString *typed[] = {&input.sMeter, &input.rms, &input.peak, &input.quality};
    for (int i = 0; i < 4; ++i) {
        if (applyNumber(rules[i], *typed[i], result.attributes))
            continue;
        return refuse(
            rules[i].field,
            rules[i].whole
                ? text(QT_TRANSLATE_NOOP(
                           "FavoriteEditor",
                           "Enter a whole number between 0 and %1, or leave the field blank."))
                      .arg(rules[i].maximum)
                : text(QT_TRANSLATE_NOOP(
                      "FavoriteEditor",
                      "Enter a dBFS value of 0 or less, or leave the field blank.")));
    }

    const QString discovered = input.discovered.trimmed();
    if (discovered != discoveredCell) {
        if (discovered.isEmpty()) {
            result.attributes.remove(QLatin1String(A::discoveredUtc));
        } else {
            QDateTime local =
                QDateTime::fromString(discovered, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            if (!local.isValid())
                local = QDateTime(QDate::fromString(discovered, Qt::ISODate), QTime(0, 0));
            if (!local.isValid()) {
                return refuse(Field::Discovered,
                              text(QT_TRANSLATE_NOOP(
                                  "FavoriteEditor",
                                  "Enter a local date as yyyy-MM-dd or yyyy-MM-dd HH:mm:ss.")));
            }
            result.attributes.insert(QLatin1String(A::discoveredUtc), A::utcText(local));
        }
    }

    if (input.classification != classificationCell)
        result.attributes.insert(QLatin1String(A::classification), input.classification.trimmed());
    result.attributes.insert(QLatin1String(A::bandOverride), input.bandOverride);
    result.attributes.insert(QLatin1String(A::notes), input.notes);
    result.frequency = std::llround(megahertz * 1e6);
    return result;
}
