#pragma once

#include <QJsonObject>
#include <QString>

// What the edit dialog holds when the user presses Save, as typed.
struct FavoriteEditInput
{
    QString frequency; // MHz
    QString sMeter;
    QString rms;
    QString peak;
    QString quality;
    QString classification;
    QString discovered; // local "yyyy-MM-dd HH:mm:ss" or "yyyy-MM-dd"
    QString bandOverride;
    QString notes;
};

// The outcome of checking an edit: the first field that failed and why, or the new frequency
// and attribute object.
struct FavoriteEditResult
{
    enum class Field { None, Frequency, SMeter, Rms, Peak, Quality, Discovered };

    Field failed = Field::None;
    QString message;      // translated; empty when the edit is accepted
    qint64 frequency = 0; // Hz
    QJsonObject attributes;

    bool accepted() const { return failed == Field::None; }
};

// Checks an edit against the row's stored attributes and the texts its classification and
// discovered cells show, in the dialog's order: frequency (0.1-3000 MHz, "," read as "."),
// S-meter (whole 0-255), RMS and peak (dBFS 0 or less), quality (whole 0-100), discovered
// date, then classification, band override and notes. A numeric text equal to the stored
// value keeps it; an empty one removes the key. UI-free.
FavoriteEditResult validateFavoriteEdit(const FavoriteEditInput &input,
                                        const QJsonObject &attributes,
                                        const QString &classificationCell,
                                        const QString &discoveredCell);
