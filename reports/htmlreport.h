#pragma once

#include <QString>

class CorvinHost;
class QTextStream;

// The common head of the program's HTML reports and opening a saved report. UI-free:
// usable by any report writer. GUI thread for openHtmlReport; writeHtmlHeader anywhere.

// Writes, in UTF-8, the page head up to and including the <h1> heading with the title:
// language attribute from the running language, the shared style sheet (A4 landscape
// print layout), and a print button with the given caption that is hidden in print.
// Title and caption are HTML-escaped. The caller writes the content and closes the page.
void writeHtmlHeader(QTextStream &out, const QString &title, const QString &printCaption);

// Asks the desktop to open an existing HTML report in its browser. On a missing file or a
// refusal returns false and sets *errorMessage (when given) to the translated
// "Could not open HTML report: %1" with the path in native separators.
bool openHtmlReport(const QString &filePath, QString *errorMessage);

// The same, writing a failure to the host's log.
bool openHtmlReport(const QString &filePath, CorvinHost &host);
