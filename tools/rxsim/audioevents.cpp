#include "audioevents.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

constexpr double twoPi = 6.283185307179586;
constexpr double fixedPeak = 0.25118864315095801; // -12 dBFS

double fromDb(double db)
{
    return std::pow(10.0, db / 20.0);
}

} // namespace

AudioEvents::AudioEvents(int sampleRate, std::function<void(const QString &)> log)
    : m_rate(sampleRate)
    , m_log(std::move(log))
{}

bool AudioEvents::parse(const QString &command, Event *event, QString *error)
{
    const QStringList words = command.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QString name = words.value(0).toLower();
    struct Form
    {
        const char *name;
        Event::Kind kind;
        const char *usage;
    };
    static const Form forms[] = {
        {"burst", Event::Kind::Burst, "burst S DB"},
        {"tone", Event::Kind::Tone, "tone HZ S DBFS"},
        {"pulses", Event::Kind::Pulses, "pulses HZ MS S"},
        {"sweep", Event::Kind::Sweep, "sweep F0 F1 S"},
        {"silence", Event::Kind::Silence, "silence S"},
    };
    const Form *form = nullptr;
    for (const Form &f : forms) {
        if (name == QLatin1String(f.name))
            form = &f;
    }
    if (!form) {
        *error = QStringLiteral("unknown audio event \"%1\" (burst, tone, pulses, sweep, silence)")
                     .arg(command.simplified());
        return false;
    }
    const int expected = QString::fromLatin1(form->usage).count(QLatin1Char(' '));
    std::vector<double> numbers;
    bool ok = words.size() == expected + 1;
    for (int i = 1; ok && i < words.size(); ++i) {
        numbers.push_back(words[i].toDouble(&ok));
        ok = ok && std::isfinite(numbers.back());
    }
    Event parsed;
    parsed.kind = form->kind;
    parsed.command = command.simplified();
    if (ok) {
        switch (form->kind) {
        case Event::Kind::Burst:
            parsed.seconds = numbers[0];
            parsed.level = fromDb(numbers[1]);
            break;
        case Event::Kind::Tone:
            parsed.hertz = numbers[0];
            parsed.seconds = numbers[1];
            parsed.level = fromDb(numbers[2]);
            break;
        case Event::Kind::Pulses:
            parsed.hertz = numbers[0];
            parsed.periodMs = numbers[1];
            parsed.seconds = numbers[2];
            parsed.level = fixedPeak;
            ok = parsed.periodMs > 0.0;
            break;
        case Event::Kind::Sweep:
            parsed.hertz = numbers[0];
            parsed.endHertz = numbers[1];
            parsed.seconds = numbers[2];
            parsed.level = fixedPeak;
            break;
        case Event::Kind::Silence:
            parsed.seconds = numbers[0];
            break;
        }
        ok = ok && parsed.seconds > 0.0 && parsed.hertz >= 0.0 && parsed.endHertz >= 0.0;
    }
    if (!ok) {
        *error = QStringLiteral("bad audio event \"%1\" (expected %2, positive seconds)")
                     .arg(command.simplified(), QLatin1String(form->usage));
        return false;
    }
    *event = parsed;
    return true;
}

void AudioEvents::schedule(const Event &event, qint64 startSample)
{
    std::lock_guard<std::mutex> guard(m_lock);
    Running running;
    running.event = event;
    running.start = startSample;
    running.length = std::max<qint64>(1, std::llround(event.seconds * m_rate));
    m_events.push_back(running);
}

void AudioEvents::inject(const Event &event)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_injected.push_back(event);
}

double AudioEvents::sampleOf(Running &running, qint64 index)
{
    const Event &e = running.event;
    const double t = static_cast<double>(index - running.start) / m_rate;
    switch (e.kind) {
    case Event::Kind::Burst:
        return e.level * m_gauss(m_random);
    case Event::Kind::Tone:
        return e.level * std::sin(twoPi * e.hertz * t);
    case Event::Kind::Pulses: {
        const bool keyed = std::fmod(t * 1000.0, e.periodMs) < 0.5 * e.periodMs;
        return keyed ? e.level * std::sin(twoPi * e.hertz * t) : 0.0;
    }
    case Event::Kind::Sweep: {
        const double hertz = e.hertz + (e.endHertz - e.hertz) * t / e.seconds;
        running.phase = std::fmod(running.phase + twoPi * hertz / m_rate, twoPi);
        return e.level * std::sin(running.phase);
    }
    case Event::Kind::Silence:
        break;
    }
    return 0.0;
}

void AudioEvents::mix(float *samples, int frames, qint64 first)
{
    std::lock_guard<std::mutex> guard(m_lock);
    for (const Event &event : m_injected) {
        Running running;
        running.event = event;
        running.start = first;
        running.length = std::max<qint64>(1, std::llround(event.seconds * m_rate));
        m_events.push_back(running);
    }
    m_injected.clear();

    const qint64 end = first + frames;
    // Sounds first, then the silences, which mute them too.
    for (const bool silences : {false, true}) {
        for (Running &running : m_events) {
            const bool silence = running.event.kind == Event::Kind::Silence;
            const qint64 from = std::max(first, running.start);
            const qint64 to = std::min(end, running.start + running.length);
            if (silence != silences || from >= to)
                continue;
            if (!running.announced) {
                running.announced = true;
                m_log(QStringLiteral("audio event \"%1\" starts at sample %2 (%3 s)")
                          .arg(running.event.command)
                          .arg(running.start)
                          .arg(static_cast<double>(running.start) / m_rate, 0, 'f', 3));
            }
            for (qint64 i = from; i < to; ++i) {
                float &s = samples[i - first];
                s = silence ? 0.0f
                            : static_cast<float>(std::clamp(
                                  static_cast<double>(s) + sampleOf(running, i), -1.0, 1.0));
            }
        }
    }
    m_events.erase(std::remove_if(m_events.begin(), m_events.end(),
                                  [end](const Running &r) { return r.start + r.length <= end; }),
                   m_events.end());
}
