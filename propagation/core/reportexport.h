#pragma once

#include <QDateTime>
#include <QString>

struct PropagationData;
struct PropagationSite;

// Saving the propagation report as HTML, PDF or plain text. Files are written through an
// atomic save file: a failed export leaves an existing file as it was. PDF needs the
// QGuiApplication (fonts); the rest any thread.
namespace ReportExport {

enum class Format { Html, Pdf, Text };

// The format a file name asks for by its suffix, compared lower-cased: "html", "pdf", "txt".
// False for any other suffix.
bool formatForPath(const QString &filePath, Format &format);

// The suffix written for a format, without the dot.
QString suffix(Format format);

// The proposed name of an export, without suffix: "propagation_" + retrieved (UTC) as
// "yyyyMMdd_HHmmss'Z'".
QString proposedBaseName(const QDateTime &retrieved);

// The report as a PDF: the HTML report laid out as a text document (Arial 9 pt) on A4
// portrait at 144 dpi with 15 mm margins, titled "HF propagation report". Empty on failure.
QByteArray renderPdf(const PropagationData &data, const PropagationSite &site);

// Writes the report in the format to filePath. Returns an empty string on success, else the
// error text (the file's error, or "Could not generate the PDF").
QString write(const QString &filePath, Format format, const PropagationData &data,
              const PropagationSite &site);

} // namespace ReportExport
