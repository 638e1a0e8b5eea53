#pragma once

#include "favorite.h"
#include "smartaudiosettings.h"

#include <QJsonObject>
#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>

struct AudioAnalysisResult;
class CorvinHost;
class MeasurementRequests;

// "Add current frequency" after the name is confirmed: tunes the receiver to the frequency and
// mode when needed, waits 140 ms, reads the S-meter with up to three attempts 200 ms apart,
// then measures the audio (Smart Scan's duration and threshold) with a timeout of duration +
// 1500 ms. Every failure is logged and ends the measurement early, so the favourite is always
// added, with whatever was measured.
//
// At most one favourite is pending; while it is, the FavoriteMeasurement activity runs.
// GUI thread; the audio measurement runs on the audio thread and comes back with its request
// number (late results are dropped).
class FavoriteMeasurement : public QObject
{
    Q_OBJECT

public:
    static constexpr int settleMs = 140;
    static constexpr int retryMs = 200;
    static constexpr int maxAttempts = 3;
    static constexpr int analysisGraceMs = 1500;

    FavoriteMeasurement(CorvinHost &host, MeasurementRequests &requests, QObject *parent = nullptr);

    // Where the audio duration and threshold come from (default: the stored Smart Scan values).
    void setAudioSettingsSource(std::function<SmartAudioSettings()> source);
    // What the next measurement will use.
    SmartAudioSettings audioSettings() const { return m_audioSettings(); }

    bool isPending() const { return m_pending.has_value(); }
    const PendingFavorite *pending() const { return m_pending ? &*m_pending : nullptr; }

    // Starts measuring a favourite named name (trimmed, non-empty) at the receiver panel's
    // frequency and mode. Nothing when one is pending already.
    void begin(const QString &name);
    // Ends a pending measurement now without an audio result (shutdown).
    void cancel();

signals:
    // A line for the Favorites status ("Measuring %1 MHz for Favorites...").
    void statusChanged(const QString &message);
    // The favourite is ready to be added: its attributes, and whether the audio result and
    // the S-meter level were both measured.
    void finished(const PendingFavorite &favorite, const QJsonObject &attributes, bool complete);

private:
    void favoriteStep();
    void startAnalysis();
    void finishFavorite(const AudioAnalysisResult *result);
    void log(const QString &message);

    CorvinHost &m_host;
    MeasurementRequests &m_requests;
    std::function<SmartAudioSettings()> m_audioSettings;
    QTimer m_timer;
    std::optional<PendingFavorite> m_pending;
};
