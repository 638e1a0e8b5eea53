#include "helpdocuments.h"

#include "applanguage.h"

#include <QCoreApplication>

namespace HelpDocuments {

QString programHelpPath()
{
    return QStringLiteral(":/Corvin/help/guide_") + runningLanguage() + QStringLiteral(".html");
}

QString programHelpTitle()
{
    return QCoreApplication::translate("HelpPanel", "Corvin program help");
}

QString licensePath()
{
    return QStringLiteral(":/Corvin/help/license_") + runningLanguage() + QStringLiteral(".txt");
}

QString licenseTitle()
{
    return QCoreApplication::translate("HelpPanel", "Corvin freeware license");
}

QString dspHelpPath()
{
    return QStringLiteral(":/Corvin/dsp/help_") + runningLanguage() + QStringLiteral(".html");
}

QString dspHelpTitle()
{
    return runningLanguage() == QLatin1String("it")
               ? QStringLiteral("Guida DSP - Analisi WAV nativa")
               : QStringLiteral("DSP Help - Native WAV analysis");
}

QString noticesPath()
{
    return QStringLiteral(":/Corvin/help/third_party.txt");
}

} // namespace HelpDocuments
