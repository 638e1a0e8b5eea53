#pragma once

// A stand-in for the main window around one ReceiverPanel: the window's widgets (built by
// the window's own builders), the driver, a settings store, the activity registry and a
// log that records every line, plus a simulated receiver on a pseudo-terminal.

#include "corvindriver.h"
#include "radiopanelview.h"
#include "receiverpanel.h"
#include "rxsimulator.h"
#include "serialportlist.h"
#include "settingskeys.h"
#include "settingspage.h"
#include "simulatorrig.h"
#include "testhost.h"

#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QSettings>
#include <QTabWidget>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

class PanelHarness : public TestHost
{
public:
    // Settings are written before the panel restores them; ports fill the port list.
    explicit PanelHarness(const QStringList &ports)
        : TestHost(QSettings(QString::fromLatin1(SettingsKeys::organization),
                             QString::fromLatin1(SettingsKeys::application))
                       .fileName())
    {
        activities().registerActivity(Activity::AnomalyCapture, this, [this] { return armed; });
        activities().registerActivity(Activity::RfSweep, this, [this] { return sweeping; });

        tabs = new QTabWidget(&window);
        tabs->setObjectName(QStringLiteral("mainTab"));
        auto *main = new QWidget;
        main->setObjectName(QStringLiteral("Main"));
        auto *mainLayout = new QVBoxLayout(main);
        QLayout *peakSlot = nullptr;
        mainLayout->addWidget(buildRadioPanel(main, ui, &peakSlot));
        settingsPage = new SettingsPage;
        settingsPage->setObjectName(QStringLiteral("Settings"));
        settingsPage->fillPanelUi(ui);
        auto *status = new QLabel(&window);
        status->setObjectName(QStringLiteral("receiverStatus"));
        ui.receiverStatus = status;
        tabs->addTab(main, QStringLiteral("Receiver"));
        tabs->addTab(settingsPage, QStringLiteral("Settings"));
        tabs->setCurrentWidget(settingsPage);
        SerialPortList::fill(ui.serialCB, ports);

        m_driver.setParent(this);
        connect(&m_driver, &Corvindriver::errorOccurred, this,
                [this](const QString &message) { appendLog(message); });
        connect(&m_driver, &Corvindriver::serialDiagnostic, this,
                [this](const QString &message) { appendLog(message); });
    }

    ~PanelHarness() override
    {
        delete panel;
        if (m_driver.isOpen())
            m_driver.closePort();
    }

    void createPanel()
    {
        panel = new ReceiverPanel(this, ui, nullptr);
        QObject::connect(panel, &ReceiverPanel::receiverPageRequested, tabs,
                         [this] { tabs->setCurrentIndex(0); });
        panel->restoreSettings();
        updateConnectionUi();
        window.show();
    }

    void restoreReceiver(qint64 frequency, int mode) override
    {
        panel->restoreReceiver(frequency, mode);
    }
    void updateConnectionUi() override
    {
        panel->updateConnectionUi();
        activities().updateControls();
    }
    bool disconnectReceiver(bool forceStandby) override
    {
        armed = false;
        return panel->disconnectReceiver(forceStandby);
    }
    Corvindriver *driver() const override { return const_cast<Corvindriver *>(&m_driver); }
    ReceiverControl &receiverControl() override { return *panel; }

    QWidget window;
    QTabWidget *tabs = nullptr;
    SettingsPage *settingsPage = nullptr;
    ReceiverPanelUi ui;
    ReceiverPanel *panel = nullptr;
    bool armed = false;
    bool sweeping = false;

private:
    Corvindriver m_driver;
};

// A simulated receiver with a quiet band except for the given station lines.
class SimulatedReceiver
{
public:
    explicit SimulatedReceiver(const QStringList &stationLines = {})
    {
        QVERIFY(startQuietBand(sim, stationLines));
        started = true;
    }

    // The commands the program sent, without the lone CRs of resynchronisation.
    QList<QByteArray> commands() const
    {
        QList<QByteArray> result;
        for (const QByteArray &command : sim.commands()) {
            if (!command.isEmpty())
                result.append(command);
        }
        return result;
    }

    RxSimulator sim;
    bool started = false;
};
