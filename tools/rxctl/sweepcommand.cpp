// corvin-rxctl ... sweep [--settle MS] START_MHZ END_MHZ STEP_KHZ: the RF sweep of the Frequency
// Spectrum Analyzer page on the open receiver, in the mode the receiver was last set to by this
// run (WFM unless a mode command came first). Writes the CSV file and the HTML report into the
// data folder's "rf" folder and prints the report's path; the log goes to stderr. Ctrl-C,
// SIGTERM and SIGHUP stop the sweep as the Stop button does, with a report of what was measured.

#include "cli.h"
#include "corvindriver.h"
#include "receivermode.h"
#include "rfsweep.h"
#include "rxctlsession.h"
#include "stoppoll.h"

#include <QDir>
#include <QEventLoop>

namespace {

const char *const usage = "[--settle MS] START_MHZ END_MHZ STEP_KHZ";

bool number(const QString &text, double low, double high, double *value)
{
    bool ok = false;
    *value = text.toDouble(&ok);
    return ok && *value >= low && *value <= high;
}

// The plan of the arguments; false when they are malformed or out of range.
bool parse(const QStringList &arguments, RfSweepPlan *plan, QTextStream &err)
{
    QStringList values;
    double settle = plan->settleMs;
    for (int i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--settle")) {
            if (i + 1 >= arguments.size() || !number(arguments[++i], 50, 2000, &settle)) {
                err << "error: --settle needs a time from 50 to 2000 ms\n";
                return false;
            }
        } else {
            values << arguments[i];
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
    plan->startHz = RfSweepPlan::hertzFromMegahertz(start);
    plan->endHz = RfSweepPlan::hertzFromMegahertz(end);
    plan->stepHz = RfSweepPlan::hertzFromKilohertz(step);
    plan->settleMs = static_cast<int>(settle);
    if (!plan->isValid()) {
        err << "error: " << RfSweep::invalidPlanMessage() << '\n';
        return false;
    }
    return true;
}

int runSweep(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    Corvindriver &driver = RxctlSession::driver();
    RfSweepPlan plan;
    plan.mode = driver.state().mode;
    plan.modeText = receiverModeName(plan.mode);
    if (!parse(arguments, &plan, err)) {
        Cli::printUsage("sweep", err);
        return Cli::UsageError;
    }

    RfSweep sweep(driver, receiverModeNames());
    const Corvindriver::State before = driver.state();
    QEventLoop loop;
    RfSweep::Outcome outcome = RfSweep::Outcome::Failure;
    const auto print = [&err](const QString &line) {
        err << line << '\n';
        err.flush();
    };
    QObject::connect(&sweep, &RfSweep::logMessage, &loop, print);
    QObject::connect(&sweep, &RfSweep::restoreRequested, &loop, [&driver, &before] {
        // Back to where a tune command of this run left the receiver.
        if (before.frequency == 0)
            return;
        if (driver.state().mode != before.mode)
            driver.setMode(before.mode);
        driver.tune(static_cast<qint64>(before.frequency));
    });
    QObject::connect(&sweep, &RfSweep::finished, &loop, [&](RfSweep::Outcome result) {
        outcome = result;
        loop.quit();
    });

    const Cli::StopPoll stop([&sweep] {
        if (sweep.isRunning())
            sweep.stop(RfSweep::stoppedByUserMessage());
    });

    QString status;
    if (!sweep.start(plan, &status)) {
        print(status);
        return Cli::Failed;
    }
    if (sweep.isRunning())
        loop.exec();
    if (!sweep.reportPath().isEmpty())
        out << QDir::toNativeSeparators(sweep.reportPath()) << '\n';
    return outcome == RfSweep::Outcome::Completed && !sweep.reportPath().isEmpty() ? Cli::Success
                                                                                   : Cli::Failed;
}

const bool registered = Cli::add(
    {"sweep", usage, "S-meter sweep from START_MHZ to END_MHZ in steps of STEP_KHZ, with report",
     &runSweep});

} // namespace
