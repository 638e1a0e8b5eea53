#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

// "Anomaly event archive": every event WAV of the events folder, newest first, with its capture
// metadata, its manual review label and, for the selected one, the sidecar and review in full.
// The user hands an event to the DSP analyzer ("Select for DSP"), to the offline replay
// ("Select and replay") or labels it ("Review..."), which writes only the event's ".review.json";
// the WAV and its sidecar are never modified. Modal, GUI thread only.
class EventArchiveDialog : public QDialog
{
    Q_OBJECT

public:
    explicit EventArchiveDialog(const QString &folder, QWidget *parent = nullptr);

    QTableWidget *table() const { return m_table; }
    QString detailsText() const;
    QString statusText() const;
    // The absolute path of the selected event WAV, or empty.
    QString selectedPath() const;

signals:
    // "Select for DSP" and "Select and replay": the DSP analyzer should take this WAV (native
    // separators) with its first channel.
    void wavSelected(const QString &path);
    // "Select and replay", after wavSelected and once the dialog has closed: the offline replay
    // should open this WAV.
    void replayRequested(const QString &path);

public slots:
    // Rereads the folder, keeping the selected file selected (else the first row).
    void refresh();
    void selectForDsp();
    void selectAndReplay();
    // Asks for the label and the notes and writes the review file.
    void review();

private:
    void showSelected();

    QString m_folder;
    QTableWidget *m_table = nullptr;
    QPlainTextEdit *m_details = nullptr;
    QLabel *m_status = nullptr;
    QPushButton *m_selectForDsp = nullptr;
    QPushButton *m_selectAndReplay = nullptr;
    QPushButton *m_review = nullptr;
};
