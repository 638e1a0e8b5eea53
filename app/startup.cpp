#include "startup.h"

#include "settingskeys.h"
#include "stylesheet.h"

#include <QApplication>
#include <QFont>
#include <QLocale>
#include <QSettings>
#include <QStyleFactory>
#include <QTranslator>

namespace Startup {

void applyStyleFontAndLocale(QApplication &app)
{
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    // The fonts the program asks for are Windows fonts; where they are missing the font
    // matcher takes the first of these that exists, without a warning.
    QFont::insertSubstitutions(QStringLiteral("Segoe UI"),
                               {QStringLiteral("Noto Sans"), QStringLiteral("DejaVu Sans"),
                                QStringLiteral("Liberation Sans")});
    QFont::insertSubstitutions(QStringLiteral("Consolas"),
                               {QStringLiteral("DejaVu Sans Mono"),
                                QStringLiteral("Liberation Mono"), QStringLiteral("Noto Mono")});
    app.setFont(QFont(QStringLiteral("Segoe UI"), 10));
    QLocale english(QLocale::English, QLocale::AnyCountry);
    english.setNumberOptions(QLocale::OmitGroupSeparator);
    QLocale::setDefault(english);
}

QString chooseLanguage(const QString &stored, QTranslator &translator, const QString &catalogue)
{
    if (stored == QLatin1String("it") && translator.load(catalogue))
        return QStringLiteral("it");
    return QStringLiteral("en");
}

QString installLanguage(QApplication &app, QTranslator &translator)
{
    QSettings store(QString::fromLatin1(SettingsKeys::organization),
                    QString::fromLatin1(SettingsKeys::application));
    const QString stored =
        store.value(QString::fromLatin1(SettingsKeys::language), QStringLiteral("en")).toString();
    const QString language = chooseLanguage(stored, translator);
    if (language == QLatin1String("it"))
        QCoreApplication::installTranslator(&translator);
    app.setProperty("language", language);
    return language;
}

QPalette applicationPalette()
{
    QPalette palette;
    const auto both = [&palette](QPalette::ColorRole role, const QColor &colour) {
        palette.setColor(QPalette::Active, role, colour);
        palette.setColor(QPalette::Inactive, role, colour);
    };
    both(QPalette::Window, QColor(QStringLiteral("#121a23")));
    both(QPalette::WindowText, QColor(QStringLiteral("#e5edf4")));
    both(QPalette::Base, QColor(QStringLiteral("#101922")));
    both(QPalette::AlternateBase, QColor(QStringLiteral("#17222d")));
    both(QPalette::Text, QColor(QStringLiteral("#e5edf4")));
    both(QPalette::Button, QColor(QStringLiteral("#253645")));
    both(QPalette::ButtonText, QColor(QStringLiteral("#e5edf4")));
    both(QPalette::Highlight, QColor(QStringLiteral("#2e6a70")));
    both(QPalette::HighlightedText, Qt::white);
    both(QPalette::ToolTipBase, QColor(QStringLiteral("#243646")));
    both(QPalette::ToolTipText, QColor(QStringLiteral("#eff7fa")));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(QStringLiteral("#738697")));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(QStringLiteral("#738697")));
    return palette;
}

void prepareApplication(QApplication &app, QTranslator &translator)
{
    applyStyleFontAndLocale(app);
    installLanguage(app, translator);
    QApplication::setPalette(applicationPalette());
    app.setStyleSheet(applicationStyleSheet());
}

} // namespace Startup
