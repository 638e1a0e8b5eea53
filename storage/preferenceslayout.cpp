#include "preferenceslayout.h"

#include <array>
#include <cstring>

namespace PreferencesLayout {

namespace {

// Whether XML 1.0 allows the character at `at` (a surrogate pair counts as one allowed
// character).
bool allowedInXml(const QString &text, int at)
{
    const QChar c = text.at(at);
    if (c.isHighSurrogate())
        return at + 1 < text.size() && text.at(at + 1).isLowSurrogate();
    if (c.isLowSurrogate())
        return at > 0 && text.at(at - 1).isHighSurrogate();
    const ushort code = c.unicode();
    return code == 0x9 || code == 0xA || code == 0xD ||
           (code >= 0x20 && code != 0xFFFE && code != 0xFFFF);
}

// Appends an attribute value escaped for double quotes. Characters XML 1.0 forbids (control
// characters other than tab, line feed and carriage return, lone surrogates, U+FFFE and U+FFFF)
// are dropped: written raw they would make the file unreadable, and no reference can stand for
// them. Line feeds, carriage returns and tabs become character references, since a parser
// normalises the literal characters to spaces.
void appendEscaped(QString &text, const QString &value)
{
    // Plain runs are copied whole; only the characters that need care are looked at alone.
    int run = 0;
    for (int i = 0; i < value.size(); ++i) {
        const ushort c = value.at(i).unicode();
        const bool plain = c >= 0x20 && c != '&' && c != '<' && c != '>' && c != '"' &&
                           (c < 0xD800 || c > 0xDFFF) && c != 0xFFFE && c != 0xFFFF;
        if (plain)
            continue;
        text.append(value.constData() + run, i - run);
        run = i + 1;
        switch (c) {
        case '&':
            text += QLatin1String("&amp;");
            break;
        case '<':
            text += QLatin1String("&lt;");
            break;
        case '>':
            text += QLatin1String("&gt;");
            break;
        case '"':
            text += QLatin1String("&quot;");
            break;
        case '\n':
            text += QLatin1String("&#10;");
            break;
        case '\r':
            text += QLatin1String("&#13;");
            break;
        case '\t':
            text += QLatin1String("&#9;");
            break;
        default:
            if (allowedInXml(value, i))
                text += value.at(i);
        }
    }
    text.append(value.constData() + run, value.size() - run);
}

// The literal parts are appended whole: an option is written a hundred thousand times a save.
void appendOption(QString &text, const QString &key, const QString &value)
{
    text += QLatin1String("<option key=\"");
    appendEscaped(text, key);
    text += QLatin1String("\" value=\"");
    appendEscaped(text, value);
    text += QLatin1String("\"/>\n");
}

// A group's stored options, and the streamed ones (if any) joining them in key order.
void appendOptions(QString &text, const QMap<QString, QString> &stored,
                   const StreamedOptions::Stream &stream)
{
    auto next = stored.cbegin();
    if (stream) {
        stream([&](const QString &key, const QString &value) {
            for (; next != stored.cend() && next.key() < key; ++next)
                appendOption(text, next.key(), next.value());
            if (next != stored.cend() && next.key() == key)
                ++next;
            appendOption(text, key, value);
        });
    }
    for (; next != stored.cend(); ++next)
        appendOption(text, next.key(), next.value());
}

// The references the writer produces, and what they stand for.
struct Reference
{
    QLatin1String text;
    QChar character;
};
const Reference references[] = {
    {QLatin1String("&amp;"), QLatin1Char('&')},  {QLatin1String("&lt;"), QLatin1Char('<')},
    {QLatin1String("&gt;"), QLatin1Char('>')},   {QLatin1String("&quot;"), QLatin1Char('"')},
    {QLatin1String("&#10;"), QLatin1Char('\n')}, {QLatin1String("&#13;"), QLatin1Char('\r')},
    {QLatin1String("&#9;"), QLatin1Char('\t')},
};

// Non-ASCII text as UTF-8 that decodes cleanly to characters any XML parser takes as they
// are. A replacement character may stand for bytes that are no UTF-8, and C1 controls,
// U+FFFE and U+FFFF are left to the full parser's judgement.
bool appendUtf8(QString *out, const char *begin, const char *end)
{
    const QString decoded = QString::fromUtf8(begin, static_cast<int>(end - begin));
    for (const QChar c : decoded) {
        const ushort code = c.unicode();
        if ((code >= 0x7F && code < 0xA0) || code >= 0xFFFD)
            return false;
    }
    *out += decoded;
    return true;
}

// What the quick reader makes of a byte of an attribute value: ASCII taken as it is, a byte
// that needs decoding ('&' and non-ASCII), or one it leaves to the full parser: '<' and raw
// control characters (a parser turns tab, line feed and carriage return into spaces).
constexpr unsigned char plainByte = 0;
constexpr unsigned char decodedByte = 1;
constexpr unsigned char refusedByte = 2;

constexpr std::array<unsigned char, 256> classifyBytes()
{
    std::array<unsigned char, 256> classes{};
    for (int c = 0; c < 256; ++c) {
        if (c < 0x20 || c == '<' || c == 0x7F)
            classes[c] = refusedByte;
        else if (c == '&' || c >= 0x80)
            classes[c] = decodedByte;
    }
    return classes;
}
constexpr std::array<unsigned char, 256> byteClasses = classifyBytes();

// ASCII text into *out, in its own buffer when no one else holds that: most of what a save
// reads is checked and dropped again, and so needs no allocation of its own.
void assignAscii(QString *out, const char *begin, int size)
{
    if (!out->isDetached()) {
        *out = QString::fromLatin1(begin, size);
        return;
    }
    out->resize(size);
    QChar *to = out->data();
    for (int i = 0; i < size; ++i)
        to[i] = QLatin1Char(begin[i]);
}

// A cursor over the document's bytes.
class Cursor
{
public:
    explicit Cursor(const QByteArray &text)
        : m_at(text.constData())
        , m_end(text.constData() + text.size())
    {}

    bool atEnd() const { return m_at == m_end; }

    // Steps over `literal` when the text continues with it.
    bool take(QLatin1String literal)
    {
        const auto size = static_cast<std::size_t>(literal.size());
        if (static_cast<std::size_t>(m_end - m_at) < size ||
            std::memcmp(m_at, literal.data(), size) != 0)
            return false;
        m_at += size;
        return true;
    }

    // An attribute value up to and including its closing quote. False for anything a parser
    // might read otherwise: other references, '<', raw control characters (a parser turns tab,
    // line feed and carriage return into spaces) and doubtful non-ASCII text.
    bool value(QString *out)
    {
        const auto *quote = static_cast<const char *>(
            std::memchr(m_at, '"', static_cast<std::size_t>(m_end - m_at)));
        if (!quote)
            return false;
        unsigned char classes = plainByte;
        for (const char *at = m_at; at < quote; ++at)
            classes |= byteClasses[static_cast<unsigned char>(*at)];
        if (classes & refusedByte)
            return false;
        const char *start = m_at;
        m_at = quote + 1;
        if (classes == plainByte) {
            assignAscii(out, start, static_cast<int>(quote - start));
            return true;
        }
        return decode(start, quote, out);
    }

private:
    static bool decode(const char *begin, const char *end, QString *out)
    {
        out->clear();
        const char *run = begin;
        for (const char *at = begin; at < end;) {
            if (*at != '&') {
                ++at;
                continue;
            }
            if (!appendUtf8(out, run, at))
                return false;
            const Reference *found = nullptr;
            for (const Reference &reference : references) {
                const auto size = static_cast<std::size_t>(reference.text.size());
                if (static_cast<std::size_t>(end - at) >= size &&
                    std::memcmp(at, reference.text.data(), size) == 0)
                    found = &reference;
            }
            if (!found)
                return false;
            *out += found->character;
            at += found->text.size();
            run = at;
        }
        return appendUtf8(out, run, end);
    }

    const char *m_at;
    const char *m_end;
};

} // namespace

QString text(const QString &version, const QString &application, const Groups &groups,
             const StreamedOptions &streamed)
{
    Groups all = groups;
    if (streamed.stream)
        all[streamed.group]; // a streamed group exists even without stored options
    // About the size of the stored options, so the text is not copied as it grows for them.
    qsizetype size = 128;
    for (const QMap<QString, QString> &options : all) {
        for (auto option = options.cbegin(); option != options.cend(); ++option)
            size += option.key().size() + option.value().size() + 32;
    }
    QString text;
    text.reserve(static_cast<int>(size));
    text += QLatin1String("<!DOCTYPE preferences>\n<preferences version=\"");
    appendEscaped(text, version);
    text += QLatin1String("\" application=\"");
    appendEscaped(text, application);
    text += QLatin1String("\">\n");
    for (auto group = all.cbegin(); group != all.cend(); ++group) {
        text += QLatin1String("<group name=\"");
        appendEscaped(text, group.key());
        text += QLatin1String("\">\n");
        appendOptions(text, *group,
                      group.key() == streamed.group ? streamed.stream : StreamedOptions::Stream());
        text += QLatin1String("</group>\n");
    }
    text += QLatin1String("</preferences>\n");
    return text;
}

bool read(const QByteArray &text, const OptionFilter &skip, Groups *groups, QString *application,
          bool *optionsRead)
{
    Cursor in(text);
    QString version;
    if (!in.take(QLatin1String("<!DOCTYPE preferences>\n<preferences version=\"")) ||
        !in.value(&version) || !in.take(QLatin1String(" application=\"")) ||
        !in.value(application) || !in.take(QLatin1String(">\n")))
        return false;

    // Like the XML reader, a group comes into being with its first option.
    bool inGroup = false;
    QString groupName;
    QMap<QString, QString> *options = nullptr;
    QString key;
    QString value;
    while (true) {
        if (in.take(QLatin1String("<option key=\""))) {
            if (!inGroup || !in.value(&key) || !in.take(QLatin1String(" value=\"")) ||
                !in.value(&value) || !in.take(QLatin1String("/>\n")))
                return false;
            *optionsRead = true;
            if (skip && skip(groupName, key))
                continue;
            if (!options)
                options = &(*groups)[groupName];
            // Written in key order: the end is the right place, found in O(1).
            options->insert(options->cend(), key, value);
        } else if (in.take(QLatin1String("<group name=\""))) {
            if (inGroup || !in.value(&groupName) || !in.take(QLatin1String(">\n")))
                return false;
            inGroup = true;
        } else if (in.take(QLatin1String("</group>\n"))) {
            if (!inGroup)
                return false;
            inGroup = false;
            options = nullptr;
        } else {
            return !inGroup && in.take(QLatin1String("</preferences>\n")) && in.atEnd();
        }
    }
}

} // namespace PreferencesLayout
