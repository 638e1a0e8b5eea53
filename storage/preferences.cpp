#include "preferences.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

namespace {

// Whether XML 1.0 allows the character (a surrogate pair counts as one allowed character).
bool allowedInXml(const QString &text, int at)
{
    const QChar c = text.at(at);
    if (c.isHighSurrogate())
        return at + 1 < text.size() && text.at(at + 1).isLowSurrogate();
    if (c.isLowSurrogate())
        return at > 0 && text.at(at - 1).isHighSurrogate();
    const ushort code = c.unicode();
    return code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code != 0xFFFE &&
                                                         code != 0xFFFF);
}

// Characters XML 1.0 forbids (control characters other than tab, line feed and carriage
// return, lone surrogates, U+FFFE and U+FFFF) are dropped: written raw they would make the file
// unreadable, and no reference can stand for them.
QString xmlText(const QString &value)
{
    QString kept;
    kept.reserve(value.size());
    for (int i = 0; i < value.size(); ++i) {
        if (allowedInXml(value, i))
            kept.append(value.at(i));
    }
    return kept;
}

// Attribute values keep line feeds, carriage returns and tabs only as character
// references: a parser normalises the literal characters to spaces.
QString attributeText(const QString &name, const QString &value)
{
    QString escaped = xmlText(value).toHtmlEscaped();
    escaped.replace(QLatin1Char('\n'), QLatin1String("&#10;"));
    escaped.replace(QLatin1Char('\r'), QLatin1String("&#13;"));
    escaped.replace(QLatin1Char('\t'), QLatin1String("&#9;"));
    return QStringLiteral(" %1=\"%2\"").arg(name, escaped);
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

    QDomDocument document;
    QString parseError;
    int line = 0;
    int column = 0;
    if (!document.setContent(&file, &parseError, &line, &column)) {
        m_formatState = false;
        m_errorText = QStringLiteral("line %1, column %2: %3").arg(line).arg(column).arg(parseError);
        return;
    }
    const QDomElement root = document.documentElement();
    if (document.doctype().name() != QLatin1String("preferences") ||
        root.attribute(QStringLiteral("application")) != m_formatName) {
        m_formatState = false;
        m_errorText = QStringLiteral("not a \"%1\" preferences file").arg(m_formatName);
        return;
    }
    m_errorText.clear();

    const QDomNodeList groups = document.elementsByTagName(QStringLiteral("group"));
    for (int g = 0; g < groups.count(); ++g) {
        const QDomElement group = groups.at(g).toElement();
        const QString name = group.attribute(QStringLiteral("name"), QStringLiteral("Default"));
        const QDomNodeList options = group.elementsByTagName(QStringLiteral("option"));
        for (int o = 0; o < options.count(); ++o) {
            const QDomElement option = options.at(o).toElement();
            m_groups[name].insert(option.attribute(QStringLiteral("key")),
                                  option.attribute(QStringLiteral("value")));
            m_modified = true;
        }
    }
    m_formatState = true;
}

QString Preferences::documentText() const
{
    QString text = QStringLiteral("<!DOCTYPE preferences>\n<preferences");
    text += attributeText(QStringLiteral("version"), m_version);
    text += attributeText(QStringLiteral("application"), m_formatName);
    text += QStringLiteral(">\n");
    for (auto group = m_groups.cbegin(); group != m_groups.cend(); ++group) {
        text += QStringLiteral("<group") + attributeText(QStringLiteral("name"), group.key()) +
                QStringLiteral(">\n");
        for (auto option = group->cbegin(); option != group->cend(); ++option) {
            text += QStringLiteral("<option") + attributeText(QStringLiteral("key"), option.key()) +
                    attributeText(QStringLiteral("value"), option.value()) + QStringLiteral("/>\n");
        }
        text += QStringLiteral("</group>\n");
    }
    text += QStringLiteral("</preferences>\n");
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

QStringList Preferences::keys() const
{
    return m_groups.value(m_group).keys();
}

void Preferences::removeKey(const QString &key)
{
    const auto group = m_groups.find(m_group);
    if (group != m_groups.end())
        group->remove(key);
    m_modified = true;
}
