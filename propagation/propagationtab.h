#pragma once

#include "propagationdata.h"

#include <QWidget>

#include <functional>

class CorvinHost;
class ProductAgeBadges;
class PropagationFetcher;
class QLabel;
class QPushButton;
class QTextBrowser;

// The Propagation page: "Refresh report" downloads the four space-weather products, the merged
// record is shown as the HF report for the listening location, and "Export report…" saves it
// as HTML, PDF or text in the data folder's "propagation" folder. A refresh without data keeps
// an earlier report with data. The last report with data is kept on disk and shown at the
// next start until a refresh replaces it; badges tell each product's age. Downloads are
// asynchronous on the GUI thread and dropped when the tab goes. GUI thread only.
class PropagationTab : public QWidget
{
    Q_OBJECT

public:
    // Asks for the export file: (folder, proposed name without suffix) -> chosen path, empty
    // when cancelled.
    using FileChooser = std::function<QString(const QString &folder, const QString &baseName)>;
    // Shows a warning box with the message.
    using Warner = std::function<void(const QString &message)>;

    // The fetcher is the tab's (null: one over Qt Network).
    explicit PropagationTab(CorvinHost &host, PropagationFetcher *fetcher = nullptr,
                            QWidget *parent = nullptr);

    // Replace the save dialog and the warning box (tests).
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }
    void setWarner(Warner warner) { m_warn = std::move(warner); }

    // The report shown, and whether there is one.
    const PropagationData &currentReport() const { return m_current; }
    bool hasReport() const { return m_hasReport; }
    PropagationFetcher &fetcher() { return *m_fetcher; }

public slots:
    void refreshPropagation();
    void showPropagation(const PropagationData &record);
    void exportPropagation();
    // Rebuilds the shown report for the stored listening location (after it changed).
    void rebuildReport();

private:
    void buildUi();
    void showReport(const PropagationData &record);
    void restoreSavedReport();
    QString chooseFileWithDialog(const QString &folder, const QString &baseName);
    void warnWithBox(const QString &message);

    CorvinHost &m_host;
    PropagationFetcher *m_fetcher = nullptr;
    FileChooser m_chooseFile;
    Warner m_warn;
    PropagationData m_current;
    bool m_hasReport = false;

    QPushButton *m_refresh = nullptr;
    QPushButton *m_export = nullptr;
    QLabel *m_status = nullptr;
    ProductAgeBadges *m_badges = nullptr;
    QTextBrowser *m_report = nullptr;
};
