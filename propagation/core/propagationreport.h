#pragma once

#include <QDateTime>
#include <QString>

struct PropagationData;
struct PropagationSite;

// The HF propagation report of one record for the listening site. Texts follow the running
// language (catalogue context "PropagationReport"); numbers use the English format, or the
// Italian one (decimal comma) when the language is "it", never group separators; times are
// "yyyy-MM-dd HH:mm UTC". Missing values read "N/A". Any thread (no widgets).

// One sentence on HF conditions from the solar flux and the geomagnetic index (Kp, else the
// HamQSL K index).
QString assessConditions(const PropagationData &data);

// The report as a complete HTML page (UTF-8 when encoded so); every inserted text escaped.
QString buildReportHtml(const PropagationData &data, const PropagationSite &site);

// The report as plain text, lines ended by a line feed.
QString buildReportText(const PropagationData &data, const PropagationSite &site);

// A time as the report writes it: "yyyy-MM-dd HH:mm UTC", or "N/A" when invalid.
QString formatReportTime(const QDateTime &utc);

// "HF propagation report", translated: the page title and the PDF document title.
QString reportTitle();
