// corvin-rxctl ... scan [--input NAME] [--mode M] [--threshold N] [--min-audio DBFS]
// [--analysis-ms MS] START_MHZ END_MHZ STEP_KHZ: the Smart Scan of the Smart Scan page on the
// open receiver and a PC audio input, with the page's defaults. Writes the archive into the data
// folder's "scans" folder and prints its path; the status and log lines go to stderr. Ctrl-C,
// SIGTERM and SIGHUP stop the scan as the Stop button does. Exit 0 when the scan completed, 1
// when an archive was written but the scan did not complete, 2 for usage, port, input or archive
// failures.

#include "audiodevices.h"
#include "audiorecorder.h"
#include "cli.h"
#include "corvindriver.h"
#include "devicenaming.h"
#include "driverscanreceiver.h"
#include "logindpowerbackend.h"
#include "measurementrequests.h"
#include "receivermode.h"
#include "recorderscanaudio.h"
#include "rxctlsession.h"
#include "smartscan.h"
#include "stoppoll.h"

#include <QDir>
#include <QEventLoop>

namespace {

const char *const usage = "[--input NAME] [--mode M] [--threshold N] [--min-audio DBFS] "
                          "[--analysis-ms MS] START_MHZ END_MHZ STEP_KHZ";

bool number(const QString &text, double low, double high, double *value)
{
    bool ok = false;
    *value = text.toDouble(&ok);
    return ok && *value >= low && *value <= high;
}

// The plan of the arguments and the input name asked for; false with a message on err when
// they are malformed or out of range.
bool parse(const QStringList &arguments, SmartScanPlan *plan, QString *input, QTextStream &err)
{
    QStringList values;
    double threshold = plan->threshold;
    double minimum = plan->minimumAudioDbfs;
    double analysis = plan->analysisMs;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &option = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (option == QLatin1String("--input") && hasValue) {
            *input = arguments[++i];
        } else if (option == QLatin1String("--mode") && hasValue) {
            plan->mode = receiverModeFromName(arguments[++i]);
            if (plan->mode < 0) {
                err << "error: unknown mode " << arguments[i] << '\n';
                return false;
            }
        } else if (option == QLatin1String("--threshold")) {
            if (!hasValue || !number(arguments[++i], 0, 255, &threshold)) {
                err << "error: --threshold needs an S-meter level from 0 to 255\n";
                return false;
            }
        } else if (option == QLatin1String("--min-audio")) {
            if (!hasValue || !number(arguments[++i], -95, 0, &minimum)) {
                err << "error: --min-audio needs a level from -95 to 0 dBFS\n";
                return false;
            }
        } else if (option == QLatin1String("--analysis-ms")) {
            if (!hasValue || !number(arguments[++i], 500, 5000, &analysis)) {
                err << "error: --analysis-ms needs a time from 500 to 5000 ms\n";
                return false;
            }
        } else if (option.startsWith(QLatin1String("--"))) {
            err << "error: unknown option " << option << '\n';
            return false;
        } else {
            values << option;
        }
    }
    double start = 0.0;
    double end = 0.0;
    double step = 0.0;
    if (values.size() != 3 || !number(values[0], 0.1, 3000.0, &start) ||
        !number(values[1], 0.1, 3000.0, &end) || !number(values[2], 0.1, 500.0, &step)) {
        err << "error: give START_MHZ and END_MHZ from 0.1 to 3000 and STEP_KHZ from 0.1 to 500\n";
        return false;
    }
    plan->startHz = SmartScanPlan::hertz(start, 1e6);
    plan->endHz = SmartScanPlan::hertz(end, 1e6);
    plan->stepHz = SmartScanPlan::hertz(step, 1e3);
    plan->modeText = receiverModeName(plan->mode);
    plan->threshold = static_cast<int>(threshold);
    plan->minimumAudioDbfs = static_cast<int>(minimum);
    plan->analysisMs = static_cast<int>(analysis);
    return true;
}

// The input device named as the page's selector names it, by its identifier or by the
// system's name, or the page's choice without a name; false when there is none. *names gets every
// input's name.
bool findInput(const QString &name, QAudioDeviceInfo *device, QString *text, QStringList *names)
{
    const QList<QAudioDeviceInfo> devices =
        AudioDevices::list(QAudio::AudioInput, QAudioDeviceInfo::defaultInputDevice());
    QVector<DeviceEntry> entries;
    for (const QAudioDeviceInfo &info : devices)
        entries.append({info.deviceName(), info == QAudioDeviceInfo::defaultInputDevice()});
    const DeviceSelection selection = DeviceNaming::build(entries, name, true);
    int chosen = name.isEmpty() ? selection.current : -1;
    for (int i = 0; i < selection.items.size(); ++i) {
        *names << selection.items[i].text;
        if (chosen < 0 &&
            (selection.items[i].text == name || selection.items[i].identifier == name))
            chosen = i;
    }
    // The system's own name of a device also finds it, under whatever caption the list gives.
    for (int i = 0; chosen < 0 && i < devices.size(); ++i) {
        if (devices[i].deviceName() == name)
            chosen = i;
    }
    if (chosen < 0 || chosen >= devices.size())
        return false;
    *device = devices[chosen];
    *text = selection.items[chosen].text;
    return true;
}

int runScan(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    SmartScanPlan plan;
    QString inputName;
    if (!parse(arguments, &plan, &inputName, err)) {
        Cli::printUsage("scan", err);
        return Cli::UsageError;
    }
    const auto print = [&err](const QString &line) {
        err << line << '\n';
        err.flush();
    };
    if (!plan.isValid()) {
        print(QStringLiteral("error: ") + SmartScan::invalidRangeMessage());
        return Cli::UsageError;
    }
    QAudioDeviceInfo device;
    QStringList inputs;
    if (!findInput(inputName, &device, &plan.input, &inputs)) {
        print(QStringLiteral("error: no audio input %1 (inputs: %2)")
                  .arg(inputName, inputs.isEmpty() ? QStringLiteral("none") : inputs.join(", ")));
        return Cli::UsageError;
    }
    plan.serialPort = RxctlSession::portName();

    // The recorder lives on this thread: its calls run directly and its signals arrive in the
    // loop below.
    AudioRecorder recorder;
    if (!recorder.startInput(device)) {
        print(QStringLiteral("error: ") + SmartScan::inputFailedMessage());
        return Cli::UsageError;
    }
    Corvindriver &driver = RxctlSession::driver();
    DriverScanReceiver receiver(driver);
    RecorderScanAudio audio(&recorder);
    MeasurementRequests requests;
    SmartScan scan(receiver, audio, requests, receiverModeNames());
    QEventLoop loop;
    bool completed = false;
    QObject::connect(&scan, &SmartScan::logMessage, &loop, print);
    QObject::connect(&scan, &SmartScan::statusChanged, &loop, print);
    QObject::connect(&recorder, &AudioRecorder::errorOccurred, &loop, print);
    QObject::connect(&recorder, &AudioRecorder::signalAnalysisReady, &scan,
                     &SmartScan::analysisReady);
    QObject::connect(&recorder, &AudioRecorder::inputPeakChanged, &scan, [&scan](int magnitude) {
        if (magnitude < 0 && scan.isRunning())
            scan.stop(SmartScan::inputLostMessage());
    });
    const Corvindriver::State before = driver.state();
    QObject::connect(&scan, &SmartScan::restoreRequested, &loop, [&driver, &before] {
        // Back to where a tune or mode command of this run left the receiver.
        if (before.frequency == 0)
            return;
        driver.setMode(before.mode);
        driver.tune(static_cast<qint64>(before.frequency));
    });
    LogindPowerBackend power;
    QObject::connect(&scan, &SmartScan::started, &loop, [&] {
        if (!power.acquireKeepAwake())
            print(QStringLiteral("note: the system did not take the keep-awake request; it may "
                                 "sleep during the scan"));
    });
    QObject::connect(&scan, &SmartScan::finished, &loop, [&](const QString &, bool done) {
        power.releaseKeepAwake();
        completed = done;
        loop.quit();
    });

    const Cli::StopPoll stop([&scan] {
        if (scan.isRunning())
            scan.stop(SmartScan::stoppedMessage());
    });

    QString status;
    if (!scan.start(plan, &status)) {
        print(QStringLiteral("error: ") + status);
        recorder.stopAll();
        const bool archived = !scan.archivePath().isEmpty();
        if (archived)
            out << QDir::toNativeSeparators(scan.archivePath()) << '\n';
        return archived ? Cli::Failed : Cli::UsageError;
    }
    loop.exec();
    recorder.stopAll();
    out << QDir::toNativeSeparators(scan.archivePath()) << '\n';
    return completed ? Cli::Success : Cli::Failed;
}

const bool registered =
    Cli::add({"scan", usage,
              "Smart Scan from START_MHZ to END_MHZ in steps of STEP_KHZ, analysing the audio of "
              "frequencies at or above the S-meter threshold; writes a JSON Lines archive",
              &runScan});

} // namespace
