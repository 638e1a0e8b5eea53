#include "corvin.h"
#include "pulsetestserver.h"
#include "quitonsignal.h"
#include "receiverpanelharness.h"
#include "wavfilewriter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QStandardPaths>
#include <QtEndian>
#include <QtTest>

#include <csignal>
#include <unistd.h>

// The signals that end the program (Ctrl-C, kill, a closed terminal, Ctrl-\) run the window's
// orderly shutdown, even while the receiver panel's Scan keeps the event loop busy.
namespace {

// Recordings and favourites go below the current folder: the window runs in a folder of its
// own, and the test goes back afterwards whatever the outcome.
class CurrentFolder
{
public:
    explicit CurrentFolder(const QString &path)
        : m_previous(QDir::currentPath())
        , entered(QDir::setCurrent(path))
    {}
    ~CurrentFolder() { QDir::setCurrent(m_previous); }

private:
    QString m_previous;

public:
    const bool entered;
};

} // namespace

class TestQuitOnSignal : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void orderlyShutdown_data();
    void orderlyShutdown();
};

void TestQuitOnSignal::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QString::fromLatin1(SettingsKeys::organization));
    QCoreApplication::setApplicationName(QString::fromLatin1(SettingsKeys::application));
}

void TestQuitOnSignal::orderlyShutdown_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGHUP") << int(SIGHUP);
    QTest::newRow("SIGQUIT") << int(SIGQUIT);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void TestQuitOnSignal::orderlyShutdown()
{
    QFETCH(int, signal);
    const QString audioMissing = PulseTest::unavailableReason();
    if (!audioMissing.isEmpty() && qEnvironmentVariableIsSet("CI"))
        QFAIL(qPrintable(audioMissing));
    QSettings().clear();
    QTemporaryDir dir;
    const CurrentFolder folder(dir.path());
    QVERIFY(folder.entered);

    SimulatedReceiver rx; // a quiet band: the Scan would not stop by itself
    QuitOnSignal quitOnSignal;
    auto window = std::make_unique<Corvin>();
    window->show();
    window->findChild<QComboBox *>(QStringLiteral("serialCB"))->setCurrentText(rx.sim.portPath());
    window->findChild<QPushButton *>(QStringLiteral("openPB"))->click();
    QVERIFY(window->driver()->isOpen());
    const qint64 startFrequency = window->receiverControl().currentFrequency();

    std::vector<qint16> fed(24000);
    for (size_t n = 0; n < fed.size(); ++n)
        fed[n] = PulseTest::pattern(int(n), 3);
    if (audioMissing.isEmpty()) {
        QVERIFY(PulseTest::drainFifo(PulseTest::monoFifo()) >= 0);
        auto *record = window->findChild<QPushButton *>(QStringLiteral("savePB"));
        record->click();
        QVERIFY(record->isChecked());
        PulseTest::FifoFeeder feeder(PulseTest::monoFifo(), PulseTest::samplesToBytes(fed), 96000);
        QTRY_VERIFY_WITH_TIMEOUT(feeder.finished(), 10000);
        QTest::qWait(500);
    }

    auto *scan = window->findChild<QPushButton *>(QStringLiteral("scanPB"));
    QElapsedTimer clock;
    QTimer::singleShot(0, scan, &QPushButton::click);
    QTimer::singleShot(300, this, [signal, &clock] {
        clock.start();
        ::kill(::getpid(), signal);
    });
    QTimer::singleShot(10000, this, [] { QCoreApplication::exit(1); });
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    const qint64 scannedTo = window->receiverControl().currentFrequency();
    QVERIFY(scannedTo > startFrequency);
    window.reset();

    // The receiver was released with the exit command (standby on disconnect is off).
    // The simulator reads the line on its own thread: wait for the exit command to get there.
    QTRY_COMPARE(rx.commands().value(rx.commands().size() - 1), QByteArray("EX"));
    QSettings settings;
    QCOMPARE(settings.value(QLatin1String(SettingsKeys::frequency)).toLongLong(), scannedTo);
    QCOMPARE(settings.value(QLatin1String(SettingsKeys::serialPort)).toString(), rx.sim.portPath());
    QFile log(qEnvironmentVariable("CORVIN_DATA_DIR") + QStringLiteral("/Corvin.log"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QVERIFY(log.readAll().contains("] Receiver connected on "));

    if (audioMissing.isEmpty()) {
        // The recording was finalised: its header lists everything fed.
        const QStringList takes = QDir(QStringLiteral("grab")).entryList({"*.wav"}, QDir::Files);
        QCOMPARE(takes.size(), 1);
        QFile take(QStringLiteral("grab/") + takes.first());
        QVERIFY(take.open(QIODevice::ReadOnly));
        const QByteArray bytes = take.readAll();
        QCOMPARE(bytes.left(WavFileWriter::headerBytes),
                 WavFileWriter::header(quint32(fed.size() * 2), 48000));
        QVERIFY(PulseTest::bytesToSamples(bytes.mid(WavFileWriter::headerBytes)) == fed);
    }
    if (!audioMissing.isEmpty())
        QSKIP(qPrintable(QStringLiteral("recording not checked: ") + audioMissing));
}

QTEST_MAIN(TestQuitOnSignal)
#include "tst_quitonsignal.moc"
