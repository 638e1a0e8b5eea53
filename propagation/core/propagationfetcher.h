#pragma once

#include "propagationdata.h"

#include <QObject>
#include <QUrl>
#include <QVector>

#include <memory>

class HttpTransport;

// One refresh of the four space-weather products: starts the four downloads together, parses
// and merges each answer as it arrives, and emits finished once when all four have answered
// or failed. Per-source failures become entries of the record's errors, never an abort. The
// order of arrival does not change the result. GUI thread only.
class PropagationFetcher : public QObject
{
    Q_OBJECT

public:
    using Parser = bool (*)(const QByteArray &body, PropagationData &record);
    struct Source
    {
        QString name; // "HamQSL", "NOAA Kp", "NOAA F10.7", "NOAA WWV"
        QUrl url;
        Parser parse;
    };

    // Downloads over Qt Network.
    explicit PropagationFetcher(QObject *parent = nullptr);
    PropagationFetcher(std::unique_ptr<HttpTransport> transport, QObject *parent = nullptr);
    // Pending downloads are dropped; finished is not emitted.
    ~PropagationFetcher() override;

    // The four sources in their fixed order. The servers are HamQSL's and NOAA SWPC's, or the
    // base URLs (scheme, host, port, path prefix) in CORVIN_HAMQSL_BASE_URL and
    // CORVIN_SWPC_BASE_URL when set (mirrors, tests); each product's path is appended.
    static QVector<Source> sources();

    // Starts a refresh; ignored while one is running.
    void start();
    // Drops the running refresh without emitting finished.
    void abort();
    bool isRunning() const { return m_pending > 0; }

    HttpTransport &transport() { return *m_transport; }

signals:
    void finished(const PropagationData &data);

private:
    void process(int generation, int index, const Download &download);

    std::unique_ptr<HttpTransport> m_transport;
    QVector<Source> m_sources;
    QVector<bool> m_answered;
    PropagationData m_record;
    int m_pending = 0;
    int m_generation = 0; // answers of an aborted refresh are ignored
};
