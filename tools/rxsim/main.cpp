// corvin-rxsim: a simulated receiver on a pseudo-terminal.
#include "audioevents.h"
#include "audiofifowriter.h"
#include "controlreader.h"
#include "corvinversion.h"
#include "rxsimulator.h"
#include "serialline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <memory>

namespace {

[[noreturn]] void fail(const QString &message)
{
    std::fprintf(stderr, "corvin-rxsim: %s\n", qPrintable(message));
    std::exit(2);
}

// "NAME=RATE"
void applyRate(RxSimulator &sim, const QString &spec)
{
    const QStringList parts = spec.split(QLatin1Char('='));
    SimFault fault;
    bool ok = false;
    const double rate = parts.value(1).toDouble(&ok);
    if (parts.size() != 2 || !FaultPlan::fromName(parts[0], &fault) || !ok || rate < 0 || rate > 1)
        fail(QStringLiteral("bad --fault %1 (expected NAME=RATE, RATE 0..1)").arg(spec));
    sim.setFaultRate(fault, rate);
}

// "NAME[:COUNT[:COMMAND]]"
void applyTrigger(RxSimulator &sim, const QString &spec)
{
    const QStringList parts = spec.split(QLatin1Char(':'));
    SimFault fault;
    bool ok = true;
    const int count = parts.size() > 1 ? parts[1].toInt(&ok) : 1;
    if (parts.size() > 3 || !FaultPlan::fromName(parts[0], &fault) || !ok || count < 1)
        fail(QStringLiteral("bad --fault-next %1 (expected NAME[:COUNT[:COMMAND]])").arg(spec));
    sim.triggerFault(fault, count, parts.value(2).toLatin1());
}

// "NAME=RATE" or "NAME[:COUNT]" for the band scope's faults.
void applyScopeFault(RxSimulator &sim, const QString &spec, bool rate)
{
    const QStringList parts = spec.split(rate ? QLatin1Char('=') : QLatin1Char(':'));
    ScopeFault fault;
    bool ok = true;
    const double value = parts.size() > 1 ? parts[1].toDouble(&ok) : 1.0;
    const bool valid =
        ScopeFaultPlan::fromName(parts[0], &fault) && ok &&
        (rate ? parts.size() == 2 && value >= 0 && value <= 1 : parts.size() <= 2 && value >= 1);
    if (!valid)
        fail(QStringLiteral("bad band-scope fault %1").arg(spec));
    if (rate)
        sim.setScopeFaultRate(fault, value);
    else
        sim.triggerScopeFault(fault, static_cast<int>(value));
}

// "T:CMD": the event CMD from audio second T.
void scheduleEvent(AudioEvents &events, const QString &spec, int rate)
{
    const int colon = spec.indexOf(QLatin1Char(':'));
    bool ok = false;
    const double seconds = spec.left(colon).toDouble(&ok);
    AudioEvents::Event event;
    QString error;
    if (colon < 0 || !ok || !(seconds >= 0.0) || seconds > 1e6)
        fail(QStringLiteral("bad --audio-event %1 (expected T:CMD, T in seconds)").arg(spec));
    if (!AudioEvents::parse(spec.mid(colon + 1), &event, &error))
        fail(error);
    events.schedule(event, std::llround(seconds * rate));
}

int intOption(const QCommandLineParser &parser, const QString &name, int low, int high)
{
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < low || value > high)
        fail(QStringLiteral("--%1 must be an integer from %2 to %3").arg(name).arg(low).arg(high));
    return value;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("corvin-rxsim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CORVIN_VERSION));

    QString faultNames;
    for (int i = 0; i < simFaultCount; ++i)
        faultNames += (i ? QStringLiteral(", ") : QString()) + FaultPlan::name(SimFault(i));

    QString scopeFaultNames;
    for (int i = 0; i < scopeFaultCount; ++i)
        scopeFaultNames +=
            (i ? QStringLiteral(", ") : QString()) + ScopeFaultPlan::name(ScopeFault(i));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral(
            "Simulated receiver on a pseudo-terminal. Prints the terminal's path "
            "on the first line of standard output, then runs until SIGINT or "
            "SIGTERM. SIGUSR1 wakes the receiver from standby; SIGUSR2 makes the terminal vanish "
            "like an unplugged adapter and come back (at the --link path) after the "
            "--vanish-s time.\nFaults: ") +
        faultNames + QStringLiteral("\nBand-scope faults: ") + scopeFaultNames);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({
        {QStringLiteral("link"), QStringLiteral("Also make PATH a symbolic link to the terminal."),
         QStringLiteral("PATH")},
        {QStringLiteral("unpaced"), QStringLiteral("Do not pace the line at 19200 baud 8N2.")},
        {QStringLiteral("band-plan"), QStringLiteral("Read stations and AUTO modes from FILE."),
         QStringLiteral("FILE")},
        {QStringLiteral("level-format"),
         QStringLiteral("S-meter reply form: hex (LM7F), hex-percent (LM7F%), space-decimal "
                        "(LM 127), percent-hex (LM%7F), space-hex (LM 7F), lower-decimal "
                        "(lm 127). Default hex."),
         QStringLiteral("FORM"), QStringLiteral("hex")},
        {QStringLiteral("scope-stream"),
         QStringLiteral("DS starts a stream of band-scope frames that runs until VF or EX.")},
        {QStringLiteral("scope-row-ms"),
         QStringLiteral("Time between band-scope rows (default 20)."), QStringLiteral("MS"),
         QStringLiteral("20")},
        {QStringLiteral("scope-sweep-ms"),
         QStringLiteral("Band-scope sweep time before the first row of a frame (default 0)."),
         QStringLiteral("MS"), QStringLiteral("0")},
        {QStringLiteral("scope-narrow-rows"),
         QStringLiteral("Rows of a frame on the narrow spans 6 and 7: 4 or 32 (default 4)."),
         QStringLiteral("N"), QStringLiteral("4")},
        {QStringLiteral("scope-variant"),
         QStringLiteral("Legal band-scope reply variants, comma-separated: crlf, lower, blanks, "
                        "echo."),
         QStringLiteral("LIST")},
        {QStringLiteral("scope-fault"),
         QStringLiteral("Inject band-scope fault NAME with probability RATE per command "
                        "(repeatable)."),
         QStringLiteral("NAME=RATE")},
        {QStringLiteral("scope-fault-next"),
         QStringLiteral("Inject band-scope fault NAME into the next COUNT commands it applies to "
                        "(repeatable)."),
         QStringLiteral("NAME[:COUNT]")},
        {QStringLiteral("standby-wake"),
         QStringLiteral(
             "Seconds after QP until the receiver wakes (0: only on SIGUSR1; default 5)."),
         QStringLiteral("S"), QStringLiteral("5")},
        {QStringLiteral("fault"),
         QStringLiteral("Inject fault NAME with probability RATE per command (repeatable)."),
         QStringLiteral("NAME=RATE")},
        {QStringLiteral("fault-next"),
         QStringLiteral("Inject fault NAME into the next COUNT commands (starting with COMMAND) "
                        "(repeatable)."),
         QStringLiteral("NAME[:COUNT[:COMMAND]]")},
        {QStringLiteral("fault-zone"),
         QStringLiteral("Inject fault NAME only while tuned from LOW to HIGH Hz; with N only into "
                        "the first N commands it applies to after each tune, e.g. "
                        "88000000-88500000:bad-lm:1 (repeatable)."),
         QStringLiteral("LOW-HIGH:NAME[:N]")},
        {QStringLiteral("late-ms"), QStringLiteral("Delay of a late reply (default 450)."),
         QStringLiteral("MS"), QStringLiteral("450")},
        {QStringLiteral("dead-ms"),
         QStringLiteral("How long a dead line stays dead (0: for good; default 0)."),
         QStringLiteral("MS"), QStringLiteral("0")},
        {QStringLiteral("vanish-s"),
         QStringLiteral("Seconds the terminal stays away after a vanish fault or SIGUSR2 "
                        "(default 3)."),
         QStringLiteral("S"), QStringLiteral("3")},
        {QStringLiteral("seed"), QStringLiteral("Seed of the fault generator (default 1)."),
         QStringLiteral("N"), QStringLiteral("1")},
        {QStringLiteral("wire-log"),
         QStringLiteral("Write every byte block on the wire to FILE (- for standard error)."),
         QStringLiteral("FILE")},
        {QStringLiteral("audio-fifo"),
         QStringLiteral("Write the demodulated audio in real time into the FIFO at PATH."),
         QStringLiteral("PATH")},
        {QStringLiteral("audio-rate"), QStringLiteral("Audio sample rate (default 48000)."),
         QStringLiteral("HZ"), QStringLiteral("48000")},
        {QStringLiteral("audio-channels"), QStringLiteral("Audio channels, 1 or 2 (default 1)."),
         QStringLiteral("N"), QStringLiteral("1")},
        {QStringLiteral("control"),
         QStringLiteral("Read audio events, one a line, from the FIFO at PATH and mix each into "
                        "the audio from its next sample: burst S DB (noise at DB dBFS RMS), "
                        "tone HZ S DBFS, pulses HZ MS S (a tone keyed on for half of every MS "
                        "ms), sweep F0 F1 S, silence S. Needs --audio-fifo."),
         QStringLiteral("PATH")},
        {QStringLiteral("audio-event"),
         QStringLiteral("Mix the audio event CMD in from audio second T (repeatable). Needs "
                        "--audio-fifo."),
         QStringLiteral("T:CMD")},
    });
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        fail(QStringLiteral("unexpected argument %1").arg(parser.positionalArguments().first()));

    // Handle the handledSignals in this thread only: block them before any thread starts.
    sigset_t handledSignals;
    sigemptyset(&handledSignals);
    for (int s : {SIGINT, SIGTERM, SIGUSR1, SIGUSR2, SIGHUP})
        sigaddset(&handledSignals, s);
    pthread_sigmask(SIG_BLOCK, &handledSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    RxSimulator sim;
    sim.setWireLogKept(false);
    sim.setPaced(!parser.isSet(QStringLiteral("unpaced")));
    if (parser.isSet(QStringLiteral("band-plan"))) {
        BandPlan plan;
        QString error;
        if (!BandPlan::loadFile(parser.value(QStringLiteral("band-plan")), &plan, &error))
            fail(error);
        sim.setBandPlan(plan);
    }
    ReceiverModel::LevelFormat format;
    if (!ReceiverModel::levelFormatFromName(parser.value(QStringLiteral("level-format")), &format))
        fail(QStringLiteral("unknown --level-format"));
    sim.setLevelFormat(format);
    sim.setContinuousScope(parser.isSet(QStringLiteral("scope-stream")));
    sim.setScopeTiming(intOption(parser, QStringLiteral("scope-row-ms"), 0, 10000), 100);
    sim.setScopeSweepMs(intOption(parser, QStringLiteral("scope-sweep-ms"), 0, 60000));
    const int narrowRows = intOption(parser, QStringLiteral("scope-narrow-rows"), 4, 32);
    if (narrowRows != 4 && narrowRows != 32)
        fail(QStringLiteral("--scope-narrow-rows must be 4 or 32"));
    sim.setScopeNarrowRows(narrowRows);
    ScopeVariants variants;
    if (!ScopeVariants::parse(parser.value(QStringLiteral("scope-variant")), &variants))
        fail(QStringLiteral("unknown --scope-variant"));
    sim.setScopeVariants(variants);
    for (const QString &spec : parser.values(QStringLiteral("scope-fault")))
        applyScopeFault(sim, spec, true);
    for (const QString &spec : parser.values(QStringLiteral("scope-fault-next")))
        applyScopeFault(sim, spec, false);
    sim.setStandbyWakeMs(1000 * intOption(parser, QStringLiteral("standby-wake"), 0, 86400));
    sim.setLateReplyMs(intOption(parser, QStringLiteral("late-ms"), 0, 60000));
    sim.setDeadLineMs(intOption(parser, QStringLiteral("dead-ms"), 0, 86400000));
    const int vanishMs = 1000 * intOption(parser, QStringLiteral("vanish-s"), 0, 86400);
    sim.setVanishMs(vanishMs);
    sim.setFaultSeed(static_cast<quint32>(intOption(parser, QStringLiteral("seed"), 0, 1 << 30)));
    for (const QString &spec : parser.values(QStringLiteral("fault")))
        applyRate(sim, spec);
    for (const QString &spec : parser.values(QStringLiteral("fault-next")))
        applyTrigger(sim, spec);
    for (const QString &spec : parser.values(QStringLiteral("fault-zone"))) {
        FaultZone zone;
        if (!FaultZone::parse(spec, &zone))
            fail(QStringLiteral("bad --fault-zone %1 (expected LOW-HIGH:NAME[:N], Hz)").arg(spec));
        sim.addFaultZone(zone);
    }

    std::shared_ptr<QFile> wireLog;
    if (parser.isSet(QStringLiteral("wire-log"))) {
        wireLog = std::make_shared<QFile>();
        const QString name = parser.value(QStringLiteral("wire-log"));
        const bool opened = name == QLatin1String("-")
                                ? wireLog->open(stderr, QIODevice::WriteOnly)
                                : (wireLog->setFileName(name),
                                   wireLog->open(QIODevice::WriteOnly | QIODevice::Append));
        if (!opened)
            fail(QStringLiteral("cannot write %1").arg(name));
        sim.setWireObserver([wireLog](const WireEvent &event) {
            const QByteArray line =
                QByteArray::number(event.timeUs / 1000.0, 'f', 3).rightJustified(12) +
                (event.fromHost ? " host> " : " rx<   ") + event.bytes.toHex(' ') + " | " +
                SerialLine::printable(event.bytes).toLatin1() + '\n';
            wireLog->write(line);
            wireLog->flush();
        });
    }

    QString error;
    if (!sim.start(&error))
        fail(error);
    if (parser.isSet(QStringLiteral("link")) &&
        !sim.linkPort(parser.value(QStringLiteral("link")), &error))
        fail(error);

    // Destroyed in reverse: the reader and the writer stop before the events they use go.
    std::unique_ptr<AudioEvents> events;
    std::unique_ptr<AudioFifoWriter> audio;
    std::unique_ptr<ControlReader> control;
    if ((parser.isSet(QStringLiteral("control")) || parser.isSet(QStringLiteral("audio-event"))) &&
        !parser.isSet(QStringLiteral("audio-fifo")))
        fail(QStringLiteral("--control and --audio-event need --audio-fifo"));
    if (parser.isSet(QStringLiteral("audio-fifo"))) {
        const int rate = intOption(parser, QStringLiteral("audio-rate"), 8000, 192000);
        const int channels = intOption(parser, QStringLiteral("audio-channels"), 1, 2);
        events = std::make_unique<AudioEvents>(rate, [](const QString &line) {
            std::fprintf(stderr, "corvin-rxsim: %s\n", qPrintable(line));
        });
        for (const QString &spec : parser.values(QStringLiteral("audio-event")))
            scheduleEvent(*events, spec, rate);
        audio = std::make_unique<AudioFifoWriter>([&sim] { return sim.audioScene(); },
                                                  parser.value(QStringLiteral("audio-fifo")), rate,
                                                  channels);
        audio->setEvents(events.get());
        if (parser.isSet(QStringLiteral("control"))) {
            control = std::make_unique<ControlReader>(
                parser.value(QStringLiteral("control")), [&events](const QString &line) {
                    AudioEvents::Event event;
                    QString problem;
                    if (AudioEvents::parse(line, &event, &problem))
                        events->inject(event);
                    else
                        std::fprintf(stderr, "corvin-rxsim: %s\n", qPrintable(problem));
                });
            if (!control->start(&error))
                fail(error);
        }
        if (!audio->start(&error))
            fail(error);
    }

    std::printf("%s\n", qPrintable(sim.portPath()));
    std::fflush(stdout);

    for (;;) {
        int received = 0;
        if (sigwait(&handledSignals, &received) != 0)
            continue;
        if (received == SIGUSR1) {
            sim.wake();
            continue;
        }
        if (received == SIGUSR2) {
            sim.vanish(vanishMs);
            std::fprintf(stderr, "corvin-rxsim: the terminal vanished for %d s\n", vanishMs / 1000);
            continue;
        }
        break;
    }
    if (control)
        control->stop();
    if (audio) {
        audio->stop();
        std::fprintf(stderr, "corvin-rxsim: audio frames written %lld, dropped %lld\n",
                     static_cast<long long>(audio->framesWritten()),
                     static_cast<long long>(audio->framesDropped()));
    }
    sim.stop();
    return 0;
}
