#include "eventreviewtools.h"

#include "datafolders.h"
#include "eventarchivedialog.h"
#include "observationstatsdialog.h"

#include <QHBoxLayout>
#include <QPushButton>

EventReviewTools::EventReviewTools(std::function<DecisionConfig()> rules, QWidget *parent)
    : QWidget(parent)
    , m_rules(std::move(rules))
{
    auto *archive = new QPushButton(tr("Event archive..."), this);
    archive->setObjectName(QStringLiteral("anomalyEventArchive"));
    archive->setToolTip(tr("Browse saved WAV events, metadata and manual review labels."));
    auto *statistics = new QPushButton(tr("Observation statistics..."), this);
    statistics->setObjectName(QStringLiteral("anomalyObservationStatistics"));
    statistics->setToolTip(
        tr("Observation time, reviewed events and advisory threshold calibration."));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(archive);
    layout->addWidget(statistics);
    layout->addStretch(1);
    connect(archive, &QPushButton::clicked, this, &EventReviewTools::openArchive);
    connect(statistics, &QPushButton::clicked, this, &EventReviewTools::openStatistics);
}

void EventReviewTools::openArchive()
{
    EventArchiveDialog dialog(DataFolders::path(QLatin1String(DataFolders::anomaly)), this);
    connect(&dialog, &EventArchiveDialog::wavSelected, this, &EventReviewTools::wavSelected);
    connect(&dialog, &EventArchiveDialog::replayRequested, this,
            &EventReviewTools::replayRequested);
    dialog.exec();
}

void EventReviewTools::openStatistics()
{
    ObservationStatsDialog dialog(DataFolders::path(QLatin1String(DataFolders::anomaly)), m_rules(),
                                  this);
    dialog.exec();
}
