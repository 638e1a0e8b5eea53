#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

#include <functional>

// The text layout Preferences writes (see preferences.h): producing it, and reading it back
// quickly. The quick reader accepts only text that has exactly this layout and that any XML
// parser would read to the same content; on anything else it gives up, and the caller reads
// the file with a full XML parser, which also reports errors. UI-free.
namespace PreferencesLayout {

using Groups = QMap<QString, QMap<QString, QString>>;
// Options a reader leaves out, by group and key (none when empty).
using OptionFilter = std::function<bool(const QString &group, const QString &key)>;

// Takes one option (key, value).
using OptionSink = std::function<void(const QString &key, const QString &value)>;

// Options of one group produced while the text is written, for a caller that would otherwise
// build a large map only to have it written: `stream` hands them to the sink it is given in
// ascending key order. They join the group's stored options in key order, a streamed option
// replacing a stored one of the same key, so the text is the one the merged map would give.
struct StreamedOptions
{
    using Stream = std::function<void(const OptionSink &sink)>;

    QString group;
    Stream stream; // none when empty
};

// The whole document: root attributes version and application, then every group and option,
// with the streamed options joining their group (which is written even when groups lacks it).
QString text(const QString &version, const QString &application, const Groups &groups,
             const StreamedOptions &streamed = {});

// Reads a document of the layout above, adding its options to *groups as the XML reader
// would (later options replace earlier ones) except those `skip` accepts, and giving the root's
// "application" attribute. *optionsRead tells whether the document holds any option. False
// when the text departs from the layout; *groups may then hold part of the document and must
// be discarded.
bool read(const QByteArray &text, const OptionFilter &skip, Groups *groups, QString *application,
          bool *optionsRead);

} // namespace PreferencesLayout
