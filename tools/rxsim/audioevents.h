#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>
#include <mutex>
#include <random>
#include <vector>

// Anomalies on demand: events mixed into the simulated receiver's audio, so the anomaly
// detector can be tried and tested on cue. Commands (numbers with a decimal point):
//
//   burst S DB        white noise for S seconds at DB dBFS (RMS)
//   tone HZ S DBFS    a sine of HZ for S seconds, peak DBFS
//   pulses HZ MS S    a tone of HZ keyed on for the first half of every MS milliseconds, for S
//                     seconds, peak -12 dBFS
//   sweep F0 F1 S     a tone gliding linearly from F0 to F1 Hz over S seconds, peak -12 dBFS
//   silence S         the audio muted for S seconds
//
// An event either starts at a given sample of the audio stream (scheduled ahead) or at the next
// sample rendered (injected while running). The log callback receives one line naming the
// stream sample of each event's first sample, from the audio thread.
class AudioEvents
{
public:
    struct Event
    {
        enum class Kind { Burst, Tone, Pulses, Sweep, Silence };
        Kind kind = Kind::Silence;
        double seconds = 0.0;
        double hertz = 0.0;    // tone, pulses; the start of a sweep
        double endHertz = 0.0; // sweep
        double level = 0.0;    // linear: RMS of a burst, peak of the tones
        double periodMs = 0.0; // pulses
        QString command;       // as given, for the log
    };

    AudioEvents(int sampleRate, std::function<void(const QString &)> log);

    // Parses one command; false with a message when it is malformed.
    static bool parse(const QString &command, Event *event, QString *error);

    // Starts the event at an absolute sample of the stream (0 = the first sample rendered).
    void schedule(const Event &event, qint64 startSample);
    // Starts the event at the next sample rendered. Any thread.
    void inject(const Event &event);

    // Adds the events to `frames` mono samples (-1 ... 1) that start at stream sample `first`,
    // clipping to the range. Audio thread only.
    void mix(float *samples, int frames, qint64 first);

private:
    struct Running
    {
        Event event;
        qint64 start = 0;
        qint64 length = 0;
        double phase = 0.0;
        bool announced = false;
    };

    double sampleOf(Running &running, qint64 index);

    const double m_rate;
    std::function<void(const QString &)> m_log;
    std::mutex m_lock;
    std::vector<Event> m_injected; // waiting for the next block, under m_lock
    std::vector<Running> m_events;
    std::mt19937 m_random{2024u};
    std::normal_distribution<double> m_gauss{0.0, 1.0};
};
