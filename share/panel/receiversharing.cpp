#include "receiversharing.h"

#include "activityregistry.h"
#include "corvindriver.h"
#include "corvinhost.h"
#include "datafolders.h"
#include "rigserver.h"
#include "serialtrace.h"
#include "settingskeys.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMutexLocker>
#include <QSettings>
#include <QSpinBox>

namespace {

const QString defaultAddress = QStringLiteral("127.0.0.1");

QLabel *label(const QString &name, const QString &text, QWidget *parent)
{
    auto *result = new QLabel(text, parent);
    result->setObjectName(name);
    return result;
}

} // namespace

ReceiverSharing::ReceiverSharing(CorvinHost &host, QWidget *parent)
    : QObject(parent)
    , m_host(host)
    , m_backend(host)
{
    m_panel = buildPanel(parent);
    QSettings &settings = m_host.settings();
    m_address->setText(
        settings.value(QLatin1String(SettingsKeys::shareAddress), defaultAddress).toString());
    m_port->setValue(
        settings.value(QLatin1String(SettingsKeys::sharePort), RigServer::defaultPort).toInt());
    const bool share = settings.value(QLatin1String(SettingsKeys::shareEnabled), false).toBool();
    const bool trace =
        settings.value(QLatin1String(SettingsKeys::logSerialTraffic), false).toBool();

    connect(m_shareEnabled, &QCheckBox::toggled, this, &ReceiverSharing::setSharing);
    connect(m_logSerialTraffic, &QCheckBox::toggled, this, &ReceiverSharing::setTracing);
    connect(m_address, &QLineEdit::editingFinished, this, [this] {
        m_host.settings().setValue(QLatin1String(SettingsKeys::shareAddress),
                                   m_address->text().trimmed());
        restartSharing();
    });
    connect(m_port, &QSpinBox::editingFinished, this, [this] {
        m_host.settings().setValue(QLatin1String(SettingsKeys::sharePort), m_port->value());
        restartSharing();
    });
    // Clients leave before the window disconnects the receiver; the trace goes on to record
    // the disconnection.
    m_host.activities().registerShutdownStep(ShutdownStep::Disconnect, this,
                                             [this] { stopSharing(); });

    m_shareEnabled->setChecked(share);
    m_logSerialTraffic->setChecked(trace);
    showStatus();
}

ReceiverSharing::~ReceiverSharing()
{
    stopSharing();
    stopTracing();
}

QFrame *ReceiverSharing::buildPanel(QWidget *parent)
{
    auto *panel = new QFrame(parent);
    panel->setObjectName(QStringLiteral("sharingPanel"));
    panel->setFrameShape(QFrame::StyledPanel);
    auto *grid = new QGridLayout(panel);
    grid->addWidget(label(QStringLiteral("sharingTitle"), tr("Other programs"), panel), 0, 0, 1, 5);

    m_shareEnabled = new QCheckBox(tr("Share receiver on the network"), panel);
    m_shareEnabled->setObjectName(QStringLiteral("shareEnabled"));
    m_shareEnabled->setToolTip(
        tr("Lets loggers, decoders and satellite trackers read and set the receiver through "
           "Corvin with the rigctld network protocol (Hamlib model 2, \"NET rigctl\")."));
    grid->addWidget(m_shareEnabled, 1, 0, 1, 5);

    grid->addWidget(label(QStringLiteral("shareAddressLabel"), tr("Listen address"), panel), 2, 0);
    m_address = new QLineEdit(panel);
    m_address->setObjectName(QStringLiteral("shareAddress"));
    m_address->setToolTip(tr("127.0.0.1 serves this computer only. Type another address of "
                             "this computer (or 0.0.0.0 for all) to serve the local network."));
    grid->addWidget(m_address, 2, 1);
    grid->addWidget(label(QStringLiteral("sharePortLabel"), tr("Port"), panel), 2, 2);
    m_port = new QSpinBox(panel);
    m_port->setObjectName(QStringLiteral("sharePort"));
    m_port->setRange(1, 65535);
    m_port->setValue(RigServer::defaultPort);
    grid->addWidget(m_port, 2, 3);

    m_status = label(QStringLiteral("shareStatus"), QString(), panel);
    m_status->setWordWrap(true);
    grid->addWidget(m_status, 3, 0, 1, 5);

    m_logSerialTraffic = new QCheckBox(tr("Log serial traffic"), panel);
    m_logSerialTraffic->setObjectName(QStringLiteral("logSerialTraffic"));
    m_logSerialTraffic->setToolTip(
        tr("Writes every byte exchanged with the receiver, with its time, to "
           "data/serial/trace_<time>.log (a new file every 10 MB), to send with a fault "
           "report."));
    grid->addWidget(m_logSerialTraffic, 4, 0, 1, 5);
    grid->setColumnStretch(4, 1);
    return panel;
}

void ReceiverSharing::setSharing(bool on)
{
    m_host.settings().setValue(QLatin1String(SettingsKeys::shareEnabled), on);
    if (m_shareEnabled->isChecked() != on)
        m_shareEnabled->setChecked(on); // comes back here through toggled
    else if (on)
        restartSharing();
    else if (m_server) {
        stopSharing();
        m_host.appendLog(tr("Stopped sharing the receiver on the network."));
        showStatus();
    }
}

void ReceiverSharing::restartSharing()
{
    if (!m_shareEnabled->isChecked())
        return;
    QHostAddress address;
    quint16 port = static_cast<quint16>(m_port->value());
    QString failure;
    const bool parsed = RigServer::parseListenAddress(m_address->text(), &address, &port, &failure);
    // Leaving a field unchanged must not drop the clients.
    if (parsed && m_server && m_server->serverAddress() == address &&
        m_server->serverPort() == port)
        return;
    stopSharing();
    m_failure = failure;
    const QString where = QStringLiteral("%1:%2").arg(m_address->text().trimmed()).arg(port);
    if (!parsed || address.isNull()) {
        if (m_failure.isEmpty())
            m_failure = tr("No listen address.");
        m_host.appendLog(tr("Could not share the receiver on %1: %2").arg(where, m_failure));
        showStatus();
        return;
    }
    auto server = std::make_unique<RigServer>(m_backend);
    if (!server->listen(address, port, &m_failure)) {
        m_host.appendLog(tr("Could not share the receiver on %1: %2").arg(where, m_failure));
        showStatus();
        return;
    }
    m_server = std::move(server);
    connect(m_server.get(), &RigServer::logMessage, this,
            [this](const QString &message) { m_host.appendLog(message); });
    connect(m_server.get(), &RigServer::clientCountChanged, this, &ReceiverSharing::showStatus);
    m_host.appendLog(
        tr("Sharing the receiver on %1 (rigctld network protocol).").arg(m_server->listenText()));
    showStatus();
}

void ReceiverSharing::showStatus()
{
    if (m_server) {
        m_status->setText(
            tr("Shared on %1, %n client(s) connected.", nullptr, m_server->clientCount())
                .arg(m_server->listenText()));
    } else if (m_shareEnabled->isChecked()) {
        m_status->setText(tr("Not shared: %1").arg(m_failure));
    } else {
        m_status->setText(tr("Not shared."));
    }
}

void ReceiverSharing::setTracing(bool on)
{
    m_host.settings().setValue(QLatin1String(SettingsKeys::logSerialTraffic), on);
    if (m_logSerialTraffic->isChecked() != on) {
        m_logSerialTraffic->setChecked(on);
        return;
    }
    Corvindriver *driver = m_host.driver();
    if (on && !m_trace && driver) {
        QString error;
        m_trace =
            SerialTrace::intoFolder(DataFolders::path(QLatin1String(DataFolders::serial)), &error);
        if (!m_trace) {
            m_host.appendLog(tr("Could not log serial traffic: %1").arg(error));
            const QSignalBlocker blocker(m_logSerialTraffic);
            m_logSerialTraffic->setChecked(false);
            return;
        }
        QMutexLocker lock(&driver->lineLock());
        driver->line().setTrace(m_trace->observer());
        m_tracedDriver = driver;
        lock.unlock();
        m_host.appendLog(tr("Logging serial traffic to %1.").arg(m_trace->currentFile()));
    } else if (!on && m_trace) {
        const QString file = m_trace->currentFile();
        stopTracing();
        m_host.appendLog(tr("Stopped logging serial traffic (%1).").arg(file));
    }
}

void ReceiverSharing::stopSharing()
{
    if (m_server) {
        m_server->disconnect(this);
        m_server.reset();
    }
}

void ReceiverSharing::stopTracing()
{
    if (m_tracedDriver) {
        QMutexLocker lock(&m_tracedDriver->lineLock());
        m_tracedDriver->line().setTrace(nullptr);
    }
    m_tracedDriver.clear();
    m_trace.reset();
}
