#include "propagationtab.h"

#include "corvinhost.h"
#include "datafolders.h"
#include "productagebadges.h"
#include "propagationcache.h"
#include "propagationfetcher.h"
#include "propagationreport.h"
#include "propagationsite.h"
#include "reportexport.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

PropagationTab::PropagationTab(CorvinHost &host, PropagationFetcher *fetcher, QWidget *parent)
    : QWidget(parent)
    , m_host(host)
    , m_fetcher(fetcher ? fetcher : new PropagationFetcher(this))
{
    setObjectName(QStringLiteral("propagationTab"));
    m_fetcher->setParent(this);
    m_chooseFile = [this](const QString &folder, const QString &baseName) {
        return chooseFileWithDialog(folder, baseName);
    };
    m_warn = [this](const QString &message) { warnWithBox(message); };
    buildUi();
    connect(m_fetcher, &PropagationFetcher::finished, this, &PropagationTab::showPropagation);
    restoreSavedReport();
}

void PropagationTab::buildUi()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *row = new QHBoxLayout;
    m_refresh = new QPushButton(tr("Refresh report"), this);
    m_refresh->setObjectName(QStringLiteral("propagationRefresh"));
    m_export = new QPushButton(tr("Export report…"), this);
    m_export->setObjectName(QStringLiteral("propagationExport"));
    m_export->setEnabled(false);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("propagationStatus"));
    m_status->setWordWrap(true);
    row->addWidget(m_refresh);
    row->addWidget(m_export);
    row->addWidget(m_status, 1);
    layout->addLayout(row);
    m_badges = new ProductAgeBadges(this);
    layout->addWidget(m_badges);
    m_report = new QTextBrowser(this);
    m_report->setObjectName(QStringLiteral("propagationReport"));
    m_report->setStyleSheet(QStringLiteral(
        "QTextBrowser#propagationReport { background-color: white; color: #1f2328; }"));
    m_report->setOpenExternalLinks(true);
    m_report->setPlainText(tr("Select Refresh report to retrieve the HF band conditions and space "
                              "weather bulletin."));
    layout->addWidget(m_report, 1);

    connect(m_refresh, &QPushButton::clicked, this, &PropagationTab::refreshPropagation);
    connect(m_export, &QPushButton::clicked, this, &PropagationTab::exportPropagation);
}

void PropagationTab::restoreSavedReport()
{
    PropagationData saved;
    if (!PropagationCache::load(saved))
        return;
    showReport(saved);
    m_status->setText(
        tr("Showing the saved report retrieved at %1.").arg(formatReportTime(saved.retrieved)));
}

void PropagationTab::showReport(const PropagationData &record)
{
    m_current = record;
    m_hasReport = true;
    m_report->setHtml(buildReportHtml(m_current, loadListeningLocation(m_host.settings())));
    m_export->setEnabled(m_current.hasData());
    m_badges->showAges(&m_current);
}

void PropagationTab::refreshPropagation()
{
    if (m_fetcher->isRunning())
        return;
    m_refresh->setEnabled(false);
    m_status->setText(tr("Retrieving HamQSL and NOAA data…"));
    m_host.appendLog(tr("Propagation report refresh started."));
    m_fetcher->start();
}

void PropagationTab::showPropagation(const PropagationData &record)
{
    m_refresh->setEnabled(true);
    for (const QString &error : record.errors)
        m_host.appendLog(tr("Propagation source error: %1").arg(error));

    if (!(record.hasData() || !m_hasReport || !m_current.hasData())) {
        m_status->setText(tr("Update failed. Showing the previous report."));
        m_host.appendLog(tr("Propagation update failed. Previous report retained."));
        return;
    }
    showReport(record);
    if (!record.hasData())
        m_status->setText(tr("No source responded with usable data."));
    else if (record.errors.isEmpty())
        m_status->setText(tr("Report updated."));
    else
        m_status->setText(tr("Report updated with partial data."));
    m_host.appendLog(
        tr("Propagation refresh completed. Source errors: %1.").arg(record.errors.size()));
    if (record.hasData()) {
        const QString error = PropagationCache::save(record);
        if (!error.isEmpty())
            m_host.appendLog(
                tr("Could not keep the propagation report for the next start: %1").arg(error));
    }
}

void PropagationTab::rebuildReport()
{
    if (m_hasReport)
        showReport(m_current);
}

void PropagationTab::exportPropagation()
{
    if (!m_hasReport || !m_current.hasData())
        return;
    const QString folder = DataFolders::ensure(QString::fromLatin1(DataFolders::propagation));
    const QString chosen = m_chooseFile(
        folder.isEmpty() ? DataFolders::path(QString::fromLatin1(DataFolders::propagation))
                         : folder,
        ReportExport::proposedBaseName(m_current.retrieved));
    if (chosen.isEmpty())
        return;
    ReportExport::Format format;
    if (!ReportExport::formatForPath(chosen, format)) {
        const QString message = tr("Use an .html, .pdf or .txt file extension.");
        m_host.appendLog(message);
        m_warn(message);
        return;
    }
    const QString error =
        ReportExport::write(chosen, format, m_current, loadListeningLocation(m_host.settings()));
    if (!error.isEmpty()) {
        const QString message = tr("Could not export the propagation report: %1").arg(error);
        m_host.appendLog(message);
        m_warn(message);
        return;
    }
    m_host.appendLog(tr("Propagation report saved to %1").arg(QDir::toNativeSeparators(chosen)));
}

QString PropagationTab::chooseFileWithDialog(const QString &folder, const QString &baseName)
{
    const QStringList filters = {tr("HTML report (*.html)"), tr("PDF report (*.pdf)"),
                                 tr("Text report (*.txt)")};
    const QStringList suffixes = {QStringLiteral("html"), QStringLiteral("pdf"),
                                  QStringLiteral("txt")};
    QFileDialog dialog(this, tr("Export propagation report"), folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(suffixes.first());
    dialog.selectFile(QDir(folder).filePath(baseName));
    connect(&dialog, &QFileDialog::filterSelected, &dialog,
            [&dialog, filters, suffixes](const QString &filter) {
                const int index = filters.indexOf(filter);
                if (index >= 0)
                    dialog.setDefaultSuffix(suffixes[index]);
            });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

void PropagationTab::warnWithBox(const QString &message)
{
    QMessageBox::warning(this, tr("Export propagation report"), message);
}
