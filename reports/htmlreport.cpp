#include "htmlreport.h"

#include "applanguage.h"
#include "corvinhost.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <QUrl>

namespace {

const char pageStart[] = "<!doctype html><html lang='";

const char headStart[] =
    "'><head><meta charset='utf-8'><meta name='viewport' content='width=device-width, "
    "initial-scale=1'><title>";

const char styleAndActions[] =
    "</title><style>"
    "body{font:16px system-ui,sans-serif;color:#142636;margin:2rem auto;max-width:1200px;"
    "padding:0 1rem}"
    "h1{margin-bottom:.4rem}"
    "p{margin:.6rem 0}"
    "button{font:inherit;padding:.45rem .8rem;cursor:pointer}"
    "a{color:#005a8a}"
    "img{display:block;width:100%;height:auto;margin:1rem 0}"
    "table{width:100%;border-collapse:collapse;font-size:.9rem}"
    "td,th{border:1px solid #c6d1da;text-align:left;padding:.4rem;overflow-wrap:anywhere}"
    "th{background:#e9f0f5}"
    "td:first-child{white-space:nowrap}"
    "thead{display:table-header-group}"
    "tr{break-inside:avoid}"
    "td.favorite-notes{white-space:pre-wrap;min-width:8em}"
    ".rf-stats{display:flex;align-items:flex-start;gap:2rem;flex-wrap:wrap}"
    ".rf-stats table{width:auto}"
    ".rf-stats h2{margin-top:0}"
    "h2{break-after:avoid-page}"
    ".legend span{display:inline-block;margin-right:1rem}"
    "@page{size:A4 landscape;margin:12mm}"
    "@media print{body{margin:0;padding:0;max-width:none;font-size:11pt}.actions{display:none}"
    "img{max-height:125mm;object-fit:contain}table{font-size:9pt}}"
    "</style></head><body><div class='actions'><button type='button' "
    "onclick='window.print()'>";

const char headingStart[] = "</button></div><h1>";
const char headingEnd[] = "</h1>\n";

} // namespace

void writeHtmlHeader(QTextStream &out, const QString &title, const QString &printCaption)
{
    out.setCodec("UTF-8");
    const QString escapedTitle = title.toHtmlEscaped();
    out << pageStart << runningLanguage() << headStart << escapedTitle << styleAndActions
        << printCaption.toHtmlEscaped() << headingStart << escapedTitle << headingEnd;
}

bool openHtmlReport(const QString &filePath, QString *errorMessage)
{
    const QFileInfo info(filePath);
    if (info.isFile() && QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath())))
        return true;
    if (errorMessage) {
        *errorMessage = QCoreApplication::translate("HtmlReport", "Could not open HTML report: %1")
                            .arg(QDir::toNativeSeparators(filePath));
    }
    return false;
}

bool openHtmlReport(const QString &filePath, CorvinHost &host)
{
    QString message;
    const bool opened = openHtmlReport(filePath, &message);
    if (!opened)
        host.appendLog(message);
    return opened;
}
