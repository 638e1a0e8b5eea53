#include "reportexport.h"

#include "propagationdata.h"
#include "propagationreport.h"
#include "propagationsite.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFont>
#include <QLocale>
#include <QPageLayout>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

namespace ReportExport {

bool formatForPath(const QString &filePath, Format &format)
{
    const QString ending = QFileInfo(filePath).suffix().toLower();
    if (ending == QLatin1String("html"))
        format = Format::Html;
    else if (ending == QLatin1String("pdf"))
        format = Format::Pdf;
    else if (ending == QLatin1String("txt"))
        format = Format::Text;
    else
        return false;
    return true;
}

QString suffix(Format format)
{
    switch (format) {
    case Format::Html:
        return QStringLiteral("html");
    case Format::Pdf:
        return QStringLiteral("pdf");
    case Format::Text:
        break;
    }
    return QStringLiteral("txt");
}

QString proposedBaseName(const QDateTime &retrieved)
{
    return QStringLiteral("propagation_") +
           QLocale::c().toString(retrieved.toUTC(), QStringLiteral("yyyyMMdd_HHmmss'Z'"));
}

QByteArray renderPdf(const PropagationData &data, const PropagationSite &site)
{
    QByteArray pdf;
    QBuffer buffer(&pdf);
    if (!buffer.open(QIODevice::WriteOnly))
        return QByteArray();
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(144);
        writer.setTitle(reportTitle());
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
        QTextDocument document;
        document.setDefaultFont(QFont(QStringLiteral("Arial"), 9));
        document.setHtml(buildReportHtml(data, site));
        // Laid out for the writer's page inside its margins; without a page size the document
        // would add margins and page numbers of its own.
        document.documentLayout()->setPaintDevice(&writer);
        document.setPageSize(writer.pageLayout().paintRectPixels(writer.resolution()).size());
        document.print(&writer);
    } // the writer finishes the file when it goes
    return pdf;
}

QString write(const QString &filePath, Format format, const PropagationData &data,
              const PropagationSite &site)
{
    QByteArray bytes;
    switch (format) {
    case Format::Html:
        bytes = buildReportHtml(data, site).toUtf8();
        break;
    case Format::Text:
        bytes = buildReportText(data, site).toUtf8();
        break;
    case Format::Pdf:
        bytes = renderPdf(data, site);
        if (bytes.isEmpty())
            return QCoreApplication::translate("ReportExport", "Could not generate the PDF");
        break;
    }
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(bytes) != bytes.size()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}

} // namespace ReportExport
