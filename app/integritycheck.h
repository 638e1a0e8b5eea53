#pragma once

#include <QString>

// Verifies the program's own executable against the SHA-256 digest the build records
// beside it ("<executable>.sha256": 64 hexadecimal digits, optionally followed by white
// space and a file name). An installed program (in a "bin" folder) keeps nothing beside
// itself: installation records the digest of the installed file in the library folder,
// "<prefix>/<libdir>/corvin/<executable>.sha256". UI-free.
class IntegrityCheck
{
public:
    enum class Outcome { Matches, Differs, RecordMissing, Unreadable };

    struct Result
    {
        Outcome outcome = Outcome::Unreadable;
        QString actual;   // digest of the executable, lower-case hex; empty if unreadable
        QString recorded; // digest in the record, lower-case hex; empty if missing
    };

    // Where the record of an executable is: beside it, or in the library folder when the
    // executable is installed.
    static QString recordPath(const QString &executablePath);
    static Result verify(const QString &executablePath);
    // The log line for a result, e.g. a warning when the executable was changed.
    static QString message(const Result &result, const QString &executablePath);
};
