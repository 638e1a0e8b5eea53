#pragma once

#include <QPalette>
#include <QString>

class QApplication;
class QTranslator;

// What the program sets up before the main window exists, in this order: the "Fusion"
// style, the application font, the English number locale, the language catalogue, the
// palette and the style sheet.
namespace Startup {

constexpr const char *catalogueResource = ":/Corvin/i18n/corvin_it.qm";

// Style, font ("Segoe UI" 10 pt; where the system lacks it and the other fonts the style
// sheet names, close relatives are substituted quietly) and the English default locale.
void applyStyleFontAndLocale(QApplication &app);

// The running language for a stored "Language" value: "it" only when the value is exactly
// "it" and the catalogue loads into translator; "en" in every other case.
QString chooseLanguage(const QString &stored, QTranslator &translator,
                       const QString &catalogue = QString::fromLatin1(catalogueResource));

// Reads "Language" from the settings store, installs the catalogue when the language is
// Italian and sets the application property `language`. translator must outlive the app.
QString installLanguage(QApplication &app, QTranslator &translator);

QPalette applicationPalette();

// The whole sequence above, then the palette and the style sheet.
void prepareApplication(QApplication &app, QTranslator &translator);

} // namespace Startup
