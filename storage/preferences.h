#pragma once

#include "preferenceslayout.h"

#include <QMap>
#include <QString>
#include <QStringList>

// One XML preference file held in memory: groups of key/value texts. Used for one load or
// save of the favourites file. The file is
//
//   <!DOCTYPE preferences>
//   <preferences version="..." application="...">
//   <group name="...">
//   <option key="..." value="..."/>
//   </group>
//   </preferences>
//
// one element per line, groups and keys in ascending order, UTF-8, and is replaced
// atomically on write. The destructor writes the file when there are unsaved changes.
// UI-free.
class Preferences
{
public:
    // formatName is written as, and required in, the root's "application" attribute;
    // version is written as the root's "version" attribute and not checked on reading.
    Preferences(const QString &filePath, const QString &formatName, const QString &version);
    ~Preferences();
    Preferences(const Preferences &) = delete;
    Preferences &operator=(const Preferences &) = delete;

    // Merges the file into the content (later options replace earlier ones). A file that
    // cannot be opened clears fileState; a parse error or another format clears
    // formatState and loads nothing. errorText() then tells why. Options skip accepts are
    // checked like the others but not loaded (for a caller about to replace them).
    void readData(const PreferencesLayout::OptionFilter &skip = {});
    // Writes the whole content atomically, with the streamed options joining their group in
    // the text (see PreferencesLayout::StreamedOptions; they are not kept in the content).
    // fileState and formatState become true only when the text was written and committed; a
    // file that cannot be opened clears fileState.
    void writeData(const PreferencesLayout::StreamedOptions &streamed = {});

    // The group the value operations work in.
    void setGroup(const QString &group) { m_group = group; }
    QString group() const { return m_group; }

    // The stored value, or defaultValue when the key is missing or its value is empty.
    QString getString(const QString &key, const QString &defaultValue = QString());
    void setString(const QString &key, const QString &value);
    void removeKey(const QString &key);
    // Every option of the current group, keys in ascending order; and the same, replaced in
    // one go (for callers that rewrite a whole group).
    QMap<QString, QString> options() const { return m_groups.value(m_group); }
    void setOptions(const QMap<QString, QString> &options);

    bool fileState() const { return m_fileState; }
    bool formatState() const { return m_formatState; }
    bool modified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }

    // Only the last value found by getString (possibly empty).
    QString lastValue() const { return m_lastValue; }

    // Why the last read or write failed: the file's error, or the parse error with its line
    // and column ("line 3, column 7: unexpected end of file"). Empty after a success.
    QString errorText() const { return m_errorText; }

private:
    // The general XML reader, for files not in the layout this class writes. False, with the
    // error noted, on a parse error.
    bool readXml(const QByteArray &text, const PreferencesLayout::OptionFilter &skip,
                 PreferencesLayout::Groups *groups, bool *changed, bool *formatOk);

    bool m_modified = false;
    QString m_group;
    QString m_filePath;
    QString m_formatName;
    QString m_version;
    QString m_lastValue;
    QString m_errorText;
    bool m_fileState = false;
    bool m_formatState = false;
    PreferencesLayout::Groups m_groups;
};
