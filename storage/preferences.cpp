#include "preferences.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>
#include <QXmlStreamReader>

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

void Preferences::readData(const PreferencesLayout::OptionFilter &skip)
{
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        m_fileState = false;
        m_errorText = file.errorString();
        return;
    }
    m_fileState = true;

    // Read into a copy: a file with an error loads nothing.
    const QByteArray text = file.readAll();
    PreferencesLayout::Groups groups = m_groups;
    QString application;
    bool changed = false;
    bool formatOk = false;
    // Files are almost always as this class wrote them: those are read without the general
    // XML parser, which takes several times as long.
    if (PreferencesLayout::read(text, skip, &groups, &application, &changed)) {
        formatOk = application == m_formatName;
    } else {
        groups = m_groups;
        changed = false;
        if (!readXml(text, skip, &groups, &changed, &formatOk))
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

bool Preferences::readXml(const QByteArray &text, const PreferencesLayout::OptionFilter &skip,
                          PreferencesLayout::Groups *groups, bool *changed, bool *formatOk)
{
    // Options count for every group element that encloses them, groups in document order.
    QStringList openGroups;
    QString doctype;
    bool rootSeen = false;
    QXmlStreamReader xml(text);
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::DTD:
            doctype = xml.dtdName().toString();
            break;
        case QXmlStreamReader::StartElement: {
            const QXmlStreamAttributes attributes = xml.attributes();
            if (!rootSeen) {
                rootSeen = true;
                *formatOk = doctype == QLatin1String("preferences") &&
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
                    if (skip && skip(group, key))
                        continue;
                    QMap<QString, QString> &options = (*groups)[group];
                    options.insert(options.cend(), key, value);
                }
                *changed = *changed || !openGroups.isEmpty();
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
        return false;
    }
    return true;
}

void Preferences::writeData(const PreferencesLayout::StreamedOptions &streamed)
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
    stream << PreferencesLayout::text(m_version, m_formatName, m_groups, streamed);
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
