#pragma once

#include <QCoreApplication>
#include <QString>
#include <QVariant>

// The running language, fixed at start in the application property `language`: "it" when
// the property is exactly "it", otherwise "en" (also when unset).
inline QString runningLanguage()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return app && app->property("language").toString() == QLatin1String("it")
               ? QStringLiteral("it")
               : QStringLiteral("en");
}
