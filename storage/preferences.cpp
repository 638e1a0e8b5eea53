#include "preferences.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>
#include <QXmlStreamReader>

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

// Appends ` name="value"` with the value escaped for a double-quoted attribute. Characters XML
// 1.0 forbids (control characters other than tab, line feed and carriage return, lone
// surrogates, U+FFFE and U+FFFF) are dropped: written raw they would make the file unreadable,
// and no reference can stand for them. Line feeds, carriage returns and tabs become character
// references, since a parser normalises the literal characters to spaces.
void appendAttribute(QString &text, QLatin1String name, const QString &value)
{
    text += QLatin1Char(' ');
    text += name;
    text += QLatin1String("=\"");
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
    text += QLatin1Char('"');
}

} // namespace

Preferences::Preferences(const QString &filePath, const QString &formatName, const QString &version)
    : m_filePath(filePath)
    , m_formatName(formatName)
    , m_version(version)
{}

Preferences::~Preferences()
{
    if (m_modified)
        writeData();
}

void Preferences::readData()
{
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        m_fileState = false;
        m_errorText = file.errorString();
        return;
    }
    m_fileState = true;

    // Read into a copy: a file with an error loads nothing. Options count for every group
    // element that encloses them, groups in document order.
    QMap<QString, QMap<QString, QString>> groups = m_groups;
    QStringList openGroups;
    bool changed = false;
    QString doctype;
    bool rootSeen = false;
    bool formatOk = false;
    QXmlStreamReader xml(file.readAll());
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::DTD:
            doctype = xml.dtdName().toString();
            break;
        case QXmlStreamReader::StartElement: {
            const QXmlStreamAttributes attributes = xml.attributes();
            if (!rootSeen) {
                rootSeen = true;
                formatOk = doctype == QLatin1String("preferences") &&
                           attributes.value(QLatin1String("application")) == m_formatName;
            }
            if (xml.name() == QLatin1String("group")) {
                openGroups.append(attributes.hasAttribute(QLatin1String("name"))
                                      ? attributes.value(QLatin1String("name")).toString()
                                      : QStringLiteral("Default"));
            } else if (xml.name() == QLatin1String("option")) {
                const QString key = attributes.value(QLatin1String("key")).toString();
                const QString value = attributes.value(QLatin1String("value")).toString();
                // Files are written in key order: the end is the right place, found in O(1).
                for (const QString &group : openGroups) {
                    QMap<QString, QString> &options = groups[group];
                    options.insert(options.cend(), key, value);
                }
                changed = changed || !openGroups.isEmpty();
            }
            break;
        }
        case QXmlStreamReader::EndElement:
            if (xml.name() == QLatin1String("group"))
                openGroups.removeLast();
            break;
        default:
            break;
        }
    }
    if (xml.hasError() || !rootSeen) {
        m_formatState = false;
        m_errorText = QStringLiteral("line %1, column %2: %3")
                          .arg(xml.lineNumber())
                          .arg(xml.columnNumber())
                          .arg(rootSeen ? xml.errorString() : QStringLiteral("no root element"));
        return;
    }
    if (!formatOk) {
        m_formatState = false;
        m_errorText = QStringLiteral("not a \"%1\" preferences file").arg(m_formatName);
        return;
    }
    m_groups = std::move(groups);
    m_modified = m_modified || changed;
    m_errorText.clear();
    m_formatState = true;
}

QString Preferences::documentText() const
{
    // About the size of the document, so the text is not copied as it grows.
    qsizetype size = 128;
    for (const QMap<QString, QString> &options : m_groups) {
        for (auto option = options.cbegin(); option != options.cend(); ++option)
            size += option.key().size() + option.value().size() + 32;
    }
    QString text;
    text.reserve(static_cast<int>(size));
    text += QLatin1String("<!DOCTYPE preferences>\n<preferences");
    appendAttribute(text, QLatin1String("version"), m_version);
    appendAttribute(text, QLatin1String("application"), m_formatName);
    text += QLatin1String(">\n");
    for (auto group = m_groups.cbegin(); group != m_groups.cend(); ++group) {
        text += QLatin1String("<group");
        appendAttribute(text, QLatin1String("name"), group.key());
        text += QLatin1String(">\n");
        for (auto option = group->cbegin(); option != group->cend(); ++option) {
            text += QLatin1String("<option");
            appendAttribute(text, QLatin1String("key"), option.key());
            appendAttribute(text, QLatin1String("value"), option.value());
            text += QLatin1String("/>\n");
        }
        text += QLatin1String("</group>\n");
    }
    text += QLatin1String("</preferences>\n");
    return text;
}

void Preferences::writeData()
{
    QDir().mkpath(QFileInfo(m_filePath).absolutePath());
    QSaveFile file(m_filePath);
    if (!file.open(QIODevice::WriteOnly)) {
        m_fileState = false;
        m_errorText = file.errorString();
        return;
    }
    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    stream << documentText();
    stream.flush();
    const bool written = stream.status() == QTextStream::Ok;
    if (!written)
        file.cancelWriting();
    const bool committed = file.commit();
    m_errorText = written && committed ? QString() : file.errorString();
    m_fileState = written && committed;
    m_formatState = m_fileState;
    if (m_fileState)
        m_modified = false;
}

QString Preferences::getString(const QString &key, const QString &defaultValue)
{
    m_lastValue = m_groups.value(m_group).value(key);
    return m_lastValue.isEmpty() ? defaultValue : m_lastValue;
}

void Preferences::setString(const QString &key, const QString &value)
{
    m_groups[m_group].insert(key, value);
    m_modified = true;
}

void Preferences::setOptions(const QMap<QString, QString> &options)
{
    m_groups.insert(m_group, options);
    m_modified = true;
}

void Preferences::removeKey(const QString &key)
{
    const auto group = m_groups.find(m_group);
    if (group != m_groups.end())
        group->remove(key);
    m_modified = true;
}
