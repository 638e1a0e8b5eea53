#include "jsontext.h"

#include <QJsonParseError>
#include <QSet>

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

// Reads the string that starts after the opening quote at text[*at] and leaves *at after its
// closing quote; false when the string is not well formed, where Qt's parser stops too. When
// decoded is given it receives the string as Qt's parser decodes it: UTF-8 bytes as they are,
// "\uXXXX" as one UTF-16 unit, any other escaped byte as itself.
bool readString(const QByteArray &text, int *at, QString *decoded)
{
    if (decoded)
        decoded->clear();
    int i = *at;
    int runStart = i;
    const auto flushRun = [&] {
        if (decoded)
            decoded->append(QString::fromUtf8(text.constData() + runStart, i - runStart));
    };
    while (i < text.size()) {
        const char c = text.at(i);
        if (c == '"') {
            flushRun();
            *at = i + 1;
            return true;
        }
        if (c != '\\') {
            ++i;
            continue;
        }
        flushRun();
        if (++i >= text.size())
            return false;
        const char escaped = text.at(i++);
        ushort unit = uchar(escaped);
        switch (escaped) {
        case 'b':
            unit = 0x08;
            break;
        case 'f':
            unit = 0x0c;
            break;
        case 'n':
            unit = 0x0a;
            break;
        case 'r':
            unit = 0x0d;
            break;
        case 't':
            unit = 0x09;
            break;
        case 'u': {
            // Exactly four hex digits: toUShort alone would also take a sign or blanks.
            const QByteArray digits = text.mid(i, 4);
            const auto isHexDigit = [](char digit) { return std::isxdigit(uchar(digit)) != 0; };
            if (digits.size() < 4 || !std::all_of(digits.begin(), digits.end(), isHexDigit))
                return false;
            unit = digits.toUShort(nullptr, 16);
            i += 4;
            break;
        }
        default:
            break;
        }
        if (decoded)
            decoded->append(QChar(unit));
        runStart = i;
    }
    return false;
}

// Whether some object of text names a member twice. Only the structure is followed: where
// text stops being JSON the scan stops as well, since Qt's parser goes no further either.
bool repeatsAName(const QByteArray &text)
{
    struct Level
    {
        bool object = false;
        bool expectingName = false;
        QSet<QString> names;
    };
    std::vector<Level> levels;
    QString name;
    for (int i = 0; i < text.size();) {
        const char c = text.at(i++);
        switch (c) {
        case '{':
            levels.push_back({true, true, {}});
            break;
        case '[':
            levels.push_back({});
            break;
        case '}':
        case ']':
            if (levels.empty() || levels.back().object != (c == '}'))
                return false;
            levels.pop_back();
            break;
        case ',':
            if (!levels.empty() && levels.back().object)
                levels.back().expectingName = true;
            break;
        case '"': {
            Level *naming =
                !levels.empty() && levels.back().expectingName ? &levels.back() : nullptr;
            if (!readString(text, &i, naming ? &name : nullptr))
                return false;
            if (naming) {
                naming->expectingName = false;
                if (naming->names.contains(name))
                    return true;
                naming->names.insert(name);
            }
            break;
        }
        default:
            break;
        }
    }
    return false;
}

} // namespace

namespace JsonText {

QJsonDocument parse(const QByteArray &text, QString *error)
{
    if (error)
        error->clear();
    if (repeatsAName(text)) {
        if (error)
            *error = QStringLiteral("duplicate name");
        return QJsonDocument();
    }
    QJsonParseError parseError{};
    QJsonDocument document = QJsonDocument::fromJson(text, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        if (error)
            *error = parseError.errorString();
        return QJsonDocument();
    }
    return document;
}

} // namespace JsonText
