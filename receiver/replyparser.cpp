#include "replyparser.h"

#include <QRegularExpression>

namespace {

// Replies accepted otherwise than "longer than the prefix, in the same letter case".
struct PrefixRule
{
    const char *prefix;
    int minimumLength;
    Qt::CaseSensitivity letterCase;
};
constexpr PrefixRule prefixRules[] = {
    {"LM", 3, Qt::CaseInsensitive},
    {"VR", 4, Qt::CaseSensitive},
};

} // namespace

bool ReplyParser::isPrefixedReply(const QByteArray &prefix, const QByteArray &line)
{
    int minimumLength = prefix.size() + 1;
    Qt::CaseSensitivity letterCase = Qt::CaseSensitive;
    for (const PrefixRule &rule : prefixRules) {
        if (prefix == rule.prefix) {
            minimumLength = rule.minimumLength;
            letterCase = rule.letterCase;
        }
    }
    if (line.size() < minimumLength)
        return false;
    if (letterCase == Qt::CaseInsensitive)
        return qstrnicmp(line.constData(), prefix.constData(), static_cast<uint>(prefix.size())) ==
               0;
    return line.startsWith(prefix);
}

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
