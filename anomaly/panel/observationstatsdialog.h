#pragma once

#include "decisionconfig.h"
#include "observationstatistics.h"

#include <QDialog>

class QComboBox;
class QPlainTextEdit;

// "Observation statistics / calibration": the observation logs and the event archive summed per
// RF / analysis context, with the advisory calibration of the absolute thresholds against the
// detector rules the panel had when the dialog opened. It changes no setting; "Export report..."
// saves the report text. Modal, GUI thread only.
class ObservationStatsDialog : public QDialog
{
    Q_OBJECT

public:
    // eventsFolder holds the event WAVs; the observation logs are in its "observations" folder.
    ObservationStatsDialog(const QString &eventsFolder, const DecisionConfig &rules,
                           QWidget *parent = nullptr);

    QComboBox *contextBox() const { return m_context; }
    QString reportText() const;

    // Writes the report text as UTF-8 through an atomic save; a failure shows "Cannot save
    // report" and returns false.
    bool writeReport(const QString &path);

public slots:
    // Rereads every log and event, keeping the chosen context when it is still listed.
    void refresh();
    // Asks for a file name and writes the report there.
    void exportReport();

private:
    void showReport();

    QString m_eventsFolder;
    DecisionConfig m_rules;
    QVector<ObservationLog> m_logs;
    QVector<ArchivedEvent> m_events;
    QComboBox *m_context = nullptr;
    QPlainTextEdit *m_report = nullptr;
};
