#include "replyparser.h"

#include <QRegularExpression>

bool ReplyParser::parseTunedFrequency(const QString &line, QString *digits)
{
    static const QRegularExpression pattern(
        QStringLiteral("(?:^|\\s)RF([0-9]{10})(?=\\s+ST[0-9]{6}(?:\\s|$))"));
    const QRegularExpressionMatch match = pattern.match(line);
    if (!match.hasMatch())
        return false;
    if (digits)
        *digits = match.captured(1);
    return true;
}

bool ReplyParser::parseAutoStatus(const QString &line, bool *autoOn, int *mode)
{
    static const QRegularExpression pattern(QStringLiteral("^AU\\s*([01])\\s*MD\\s*([0-8])$"));
    const QRegularExpressionMatch match = pattern.match(line);
    if (!match.hasMatch())
        return false;
    if (autoOn)
        *autoOn = match.captured(1) == QLatin1String("1");
    if (mode)
        *mode = match.captured(2).toInt();
    return true;
}

bool ReplyParser::parseLevel(const QString &line, int *value)
{
    static const QRegularExpression pattern(
        QStringLiteral("^LM(?:([0-9A-F]{2})%?|[ %](?:([0-9]{3})|([0-9A-F]{2})))$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(line);
    if (!match.hasMatch())
        return false;
    bool ok = false;
    int parsed = 0;
    if (!match.captured(2).isEmpty())
        parsed = match.captured(2).toInt(&ok, 10);
    else if (!match.captured(1).isEmpty())
        parsed = match.captured(1).toInt(&ok, 16);
    else
        parsed = match.captured(3).toInt(&ok, 16);
    if (ok && value)
        *value = parsed;
    return ok;
}
