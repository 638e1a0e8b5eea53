#include "observationstatsdialog.h"

#include "observationreport.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

ObservationStatsDialog::ObservationStatsDialog(const QString &eventsFolder,
                                               const DecisionConfig &rules, QWidget *parent)
    : QDialog(parent)
    , m_eventsFolder(eventsFolder)
    , m_rules(rules)
{
    setObjectName(QStringLiteral("observationStatsDialog"));
    setWindowTitle(tr("Observation statistics / calibration"));
    resize(1050, 720);

    auto *note = new QLabel(tr("Statistics use recorded PCM time, not the time between WAV files. "
                               "Calibration is advisory only. Disarm before editing detector "
                               "settings."),
                            this);
    note->setWordWrap(true);
    m_context = new QComboBox(this);
    m_context->setObjectName(QStringLiteral("observationContext"));
    m_context->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto *refreshButton = new QPushButton(tr("Refresh"), this);
    refreshButton->setObjectName(QStringLiteral("observationRefresh"));
    auto *exportButton = new QPushButton(tr("Export report..."), this);
    exportButton->setObjectName(QStringLiteral("observationExport"));
    auto *closeButton = new QPushButton(tr("Close"), this);
    closeButton->setObjectName(QStringLiteral("observationClose"));
    for (QPushButton *b : {refreshButton, exportButton, closeButton})
        b->setAutoDefault(false);

    m_report = new QPlainTextEdit(this);
    m_report->setObjectName(QStringLiteral("observationReport"));
    m_report->setReadOnly(true);
    m_report->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_report->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(tr("RF / analysis context"), this));
    row->addWidget(m_context, 1);
    row->addWidget(refreshButton);
    row->addWidget(exportButton);
    row->addWidget(closeButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addLayout(row);
    layout->addWidget(m_report, 1);

    connect(m_context, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &ObservationStatsDialog::showReport);
    connect(refreshButton, &QPushButton::clicked, this, &ObservationStatsDialog::refresh);
    connect(exportButton, &QPushButton::clicked, this, &ObservationStatsDialog::exportReport);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    refresh();
}

QString ObservationStatsDialog::reportText() const
{
    return m_report->toPlainText();
}

void ObservationStatsDialog::refresh()
{
    const QString previous = m_context->currentText();
    m_logs = ObservationStatistics::readLogs(
        QDir(m_eventsFolder).filePath(QStringLiteral("observations")));
    m_events = EventArchive::list(m_eventsFolder);
    {
        const QSignalBlocker quiet(m_context);
        m_context->clear();
        m_context->addItems(
            ObservationReport::contextEntries(ObservationStatistics::contexts(m_logs, m_events)));
        m_context->setCurrentIndex(std::max(0, m_context->findText(previous)));
    }
    showReport();
}

void ObservationStatsDialog::showReport()
{
    m_report->setPlainText(ObservationReport::build(
        m_logs, m_events, ObservationReport::choiceOf(m_context->currentText()), m_rules));
}

void ObservationStatsDialog::exportReport()
{
    const QString path = QFileDialog::getSaveFileName(
        this, tr("Export observation report"),
        QDir(m_eventsFolder).filePath(QStringLiteral("observation_report.txt")),
        tr("Text (*.txt)"));
    if (!path.isEmpty())
        writeReport(path);
}

bool ObservationStatsDialog::writeReport(const QString &path)
{
    const QByteArray bytes = reportText().toUtf8();
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    QMessageBox::warning(this, tr("Export error"), tr("Cannot save report"));
    return false;
}
