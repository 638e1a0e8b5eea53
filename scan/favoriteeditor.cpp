#include "favoriteeditor.h"

#include "favoriteattributes.h"
#include "favoritecolumns.h"
#include "rfbands.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
namespace Col = FavoriteColumns;
namespace A = FavoriteAttributes;
} // namespace

FavoriteEditor::FavoriteEditor(const Favorite &row, const QStringList &cells,
                               const QStringList &modeTexts, QWidget *parent)
    : QDialog(parent)
    , m_original(row)
    , m_classificationCell(cells.value(Col::Classification))
    , m_discoveredCell(cells.value(Col::Discovered))
{
    setObjectName(QStringLiteral("favoriteEditor"));
    setWindowTitle(tr("Edit favorite"));
    setMinimumWidth(430);
    auto *layout = new QVBoxLayout(this);
    m_form = new QFormLayout;
    layout->addLayout(m_form);
    const QStringList headers = Col::headers();
    const auto attribute = [&row](const char *key) {
        return row.attributes.value(QLatin1String(key)).toString();
    };

    m_frequency =
        addLine("editFavoriteFrequency", headers[Col::Frequency], cells.value(Col::Frequency));
    m_name = addLine("editFavoriteName", headers[Col::Name], row.name);
    m_mode = new QComboBox(this);
    m_mode->setObjectName(QStringLiteral("editFavoriteMode"));
    m_mode->addItems(modeTexts);
    if (m_mode->findText(row.mode) < 0)
        m_mode->addItem(row.mode);
    m_mode->setCurrentIndex(m_mode->findText(row.mode));
    m_form->addRow(headers[Col::Mode], m_mode);
    m_sMeter = addLine("editFavoriteSMeter", headers[Col::SMeter], attribute(A::sMeter));
    m_rms = addLine("editFavoriteRms", headers[Col::Rms], attribute(A::dbfsRms));
    m_peak = addLine("editFavoritePeak", headers[Col::Peak], attribute(A::dbfsPeak));
    m_quality = addLine("editFavoriteQuality", headers[Col::Quality], attribute(A::quality));
    m_classification =
        addLine("editFavoriteClassification", headers[Col::Classification], m_classificationCell);
    m_discovered = addLine("editFavoriteDiscovery", headers[Col::Discovered], m_discoveredCell);
    m_discovered->setPlaceholderText(QStringLiteral("yyyy-MM-dd HH:mm:ss"));

    m_band = new QComboBox(this);
    m_band->setObjectName(QStringLiteral("editFavoriteBand"));
    m_band->addItem(tr("Automatic from frequency"), QString());
    for (int band = 0; band < RfBands::count; ++band)
        m_band->addItem(RfBands::caption(band), RfBands::name(band));
    m_band->setCurrentIndex(std::max(0, m_band->findData(attribute(A::bandOverride))));
    m_form->addRow(headers[Col::Band], m_band);

    m_notes = new QPlainTextEdit(attribute(A::notes), this);
    m_notes->setObjectName(QStringLiteral("editFavoriteNotes"));
    m_notes->setFixedHeight(94);
    m_form->addRow(headers[Col::Notes], m_notes);

    m_error = new QLabel(this);
    m_error->setObjectName(QStringLiteral("favoriteEditError"));
    m_error->setWordWrap(true);
    layout->addWidget(m_error);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *saveButton = buttons->addButton(tr("Save"), QDialogButtonBox::AcceptRole);
    QPushButton *cancelButton = buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    saveButton->setObjectName(QStringLiteral("editFavoriteSave"));
    cancelButton->setObjectName(QStringLiteral("editFavoriteCancel"));
    connect(saveButton, &QPushButton::clicked, this, &FavoriteEditor::save);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QLineEdit *FavoriteEditor::addLine(const char *objectName, const QString &label,
                                   const QString &text)
{
    auto *line = new QLineEdit(text, this);
    line->setObjectName(QString::fromLatin1(objectName));
    m_form->addRow(label, line);
    return line;
}

void FavoriteEditor::save()
{
    FavoriteEditInput input;
    input.frequency = m_frequency->text();
    input.sMeter = m_sMeter->text();
    input.rms = m_rms->text();
    input.peak = m_peak->text();
    input.quality = m_quality->text();
    input.classification = m_classification->text();
    input.discovered = m_discovered->text();
    input.bandOverride = m_band->currentData().toString();
    input.notes = m_notes->toPlainText();
    const FavoriteEditResult result =
        validateFavoriteEdit(input, m_original.attributes, m_classificationCell, m_discoveredCell);
    if (!result.accepted()) {
        using Field = FavoriteEditResult::Field;
        QLineEdit *field = result.failed == Field::Frequency ? m_frequency
                           : result.failed == Field::SMeter  ? m_sMeter
                           : result.failed == Field::Rms     ? m_rms
                           : result.failed == Field::Peak    ? m_peak
                           : result.failed == Field::Quality ? m_quality
                                                             : m_discovered;
        m_error->setText(result.message);
        field->setFocus();
        field->selectAll();
        return;
    }
    m_result = Favorite{result.frequency, m_name->text().trimmed(), m_mode->currentText(),
                        result.attributes};
    accept();
}
