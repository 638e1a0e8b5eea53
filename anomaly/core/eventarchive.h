#pragma once

// The archive of captured events in the events folder: every "*.wav" or "*.wave" file with its
// JSON sidecar and its manual review file beside it. Listing and reviewing never touch the WAV
// or its sidecar; a review is a separate ".review.json" file, replaced whole by an atomic save.
// Any thread (the archive dialog calls it on the GUI thread).

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QVector>

// One event of the archive.
struct ArchivedEvent
{
    QString path;       // absolute path of the WAV
    QString fileName;   // the WAV's file name
    QDateTime modified; // the WAV's modification time
    QJsonObject event;  // the sidecar, or empty when missing or invalid
    QJsonObject review; // the review file, or empty
    QString context;    // the event's context key (empty: legacy or incomplete)
};

// The manual review labels, in the order of the review list.
enum class ReviewLabel { Unreviewed, Interesting, FalseAlarm, KnownSignal, Unknown };

namespace EventArchive {

constexpr int labelCount = 5;

// The label's code in review files: "UNREVIEWED", "INTERESTING", "FALSE_ALARM",
// "KNOWN_SIGNAL", "UNKNOWN".
QString labelCode(ReviewLabel label);
// The review's label; a missing or unknown code reads as Unreviewed.
ReviewLabel labelOf(const QJsonObject &review);
// One of the four labels a review gives (not Unreviewed).
bool isReviewed(ReviewLabel label);

// Every event of the folder, the newest WAV first (equal times by file name).
QVector<ArchivedEvent> list(const QString &folder);

// The archive table's row: "UTC trigger", "RF (Hz)", "Mode", "Type", "Duration (s)", "Review"
// and "WAV file"; "--" where the sidecar or review has no usable value.
QStringList columns(const ArchivedEvent &event);

// Writes the review file of the WAV at wavPath (label code, notes, review_utc with
// milliseconds, wav_file) through an atomic save. False when it cannot be written.
bool writeReview(const QString &wavPath, ReviewLabel label, const QString &notes,
                 const QDateTime &utc);

} // namespace EventArchive
