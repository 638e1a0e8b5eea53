#pragma once

#include <QByteArray>
#include <QString>

// Parsers of the receiver's status replies. Pure functions, safe from any thread.
class ReplyParser
{
public:
    // Whether a (trimmed) reply line answers a command whose reply starts with `prefix` (not
    // empty): it starts with the prefix and is longer than it. The identification ("VR") needs
    // at least four characters. Letter case counts, except for the level reply, which some
    // receivers send in lower case ("lm 127").
    static bool isPrefixedReply(const QByteArray &prefix, const QByteArray &line);

    // RX status: "RF" + ten digits followed by an "ST" + six digits token, anywhere in
    // the line. `digits` receives the ten digits (the tuned frequency in Hz).
    static bool parseTunedFrequency(const QString &line, QString *digits);

    // AU status, the whole line: "AU" 0|1 "MD" 0-8, blanks allowed between the parts.
    static bool parseAutoStatus(const QString &line, bool *autoOn, int *mode);

    // LM level in any letter case: "LM" + two hex digits with an optional "%", or "LM"
    // then a blank or "%" then three decimal digits or two hex digits. `value` may
    // exceed 255 for the decimal form; range checking is the caller's.
    static bool parseLevel(const QString &line, int *value);
};
