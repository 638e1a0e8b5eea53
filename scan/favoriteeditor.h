#pragma once

#include "favorite.h"
#include "favoriteedit.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

// The "Edit favorite" dialog ("favoriteEditor"): one field per column of the row, the checks
// of validateFavoriteEdit on Save (the first failing field gets the focus and the message), and
// the edited favourite afterwards. GUI thread.
class FavoriteEditor : public QDialog
{
    Q_OBJECT

public:
    // row: the favourite as stored; cells: the texts its row shows (FavoriteColumns order);
    // modeTexts: the receiver panel's mode list.
    FavoriteEditor(const Favorite &row, const QStringList &cells, const QStringList &modeTexts,
                   QWidget *parent = nullptr);

    // After accept(): the edited favourite (trimmed name, chosen mode, checked attributes).
    Favorite favorite() const { return m_result; }

private:
    void save();
    QLineEdit *addLine(const char *objectName, const QString &label, const QString &text);

    Favorite m_original;
    QString m_classificationCell;
    QString m_discoveredCell;
    Favorite m_result;

    QLineEdit *m_frequency = nullptr;
    QLineEdit *m_name = nullptr;
    QComboBox *m_mode = nullptr;
    QLineEdit *m_sMeter = nullptr;
    QLineEdit *m_rms = nullptr;
    QLineEdit *m_peak = nullptr;
    QLineEdit *m_quality = nullptr;
    QLineEdit *m_classification = nullptr;
    QLineEdit *m_discovered = nullptr;
    QComboBox *m_band = nullptr;
    QPlainTextEdit *m_notes = nullptr;
    QLabel *m_error = nullptr;
    class QFormLayout *m_form = nullptr;
};
