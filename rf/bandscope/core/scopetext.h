#pragma once

#include <QString>

// The band scope's messages that are chosen in code between an English and an Italian text,
// by the language the program runs in when the tab (or tool) is built.
namespace ScopeText {

inline QString pick(bool italian, const char *english, const char *italianText)
{
    return QString::fromUtf8(italian ? italianText : english);
}

} // namespace ScopeText
