#pragma once

#include "hostrigbackend.h"

#include <QObject>
#include <QPointer>

#include <memory>

class CorvinHost;
class Corvindriver;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QSpinBox;
class QWidget;
class RigServer;
class SerialTrace;

// The Settings page's panel `sharingPanel` and what it switches: sharing the receiver with
// other programs over the rigctld network protocol ("Share receiver on the network", listen
// address and port, status with the client count) and the serial traffic trace ("Log serial
// traffic", into data/serial). Both settings are stored at once and take effect at once;
// sharing that was on comes back on at the next start. Clients' connections and departures
// go to the log. GUI thread only.
class ReceiverSharing : public QObject
{
    Q_OBJECT

public:
    // Builds the panel (a child of `parent`) and applies the stored settings.
    ReceiverSharing(CorvinHost &host, QWidget *parent);
    ~ReceiverSharing() override;

    QFrame *panel() const { return m_panel; }
    RigServer *server() const { return m_server.get(); }
    SerialTrace *trace() const { return m_trace.get(); }

    void setSharing(bool on);
    void setTracing(bool on);

private:
    QFrame *buildPanel(QWidget *parent);
    void restartSharing();
    void showStatus();
    void stopSharing();
    void stopTracing();

    CorvinHost &m_host;
    HostRigBackend m_backend;
    std::unique_ptr<RigServer> m_server;
    std::unique_ptr<SerialTrace> m_trace;
    // The driver the trace is installed on; the window may destroy it first.
    QPointer<Corvindriver> m_tracedDriver;
    QString m_failure; // why the last attempt to share failed

    QFrame *m_panel = nullptr;
    QCheckBox *m_shareEnabled = nullptr;
    QLineEdit *m_address = nullptr;
    QSpinBox *m_port = nullptr;
    QLabel *m_status = nullptr;
    QCheckBox *m_logSerialTraffic = nullptr;
};
