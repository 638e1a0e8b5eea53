#pragma once

#include <QString>
#include <QVector>

// What a simulated station transmits. Silence to Pulses and Emission are sounds that modulate
// the station in its mode (a voice on USB, a tone on AM, ...); Emission is one 150 ms keyed tone
// 400 ms after every tuning of the receiver, a short transmission caught by whoever tunes in.
// Carrier, Fsk and Sweep are defined at RF: an unmodulated carrier, a two-tone FSK signal (the
// station's frequency and 170 Hz above it, 45.45 baud) and a carrier gliding slowly up 2500 Hz
// and back over a minute. On SSB and CW the receiver hears every component at its RF offset; on
// AM and FM the RF kinds are silent, and on FM a strong carrier quiets the band noise.
enum class AudioKind {
    Silence,
    Noise,
    Tone,
    Speech,
    Bursts,
    Pulses,
    Carrier,
    Fsk,
    Sweep,
    Emission
};

// One transmitter of the simulated band.
struct SimStation
{
    quint64 frequency = 0; // Hz
    int mode = 2;          // receiver mode code 0-8
    int width = 9000;      // occupied bandwidth, Hz
    int level = 100;       // S-meter level at the centre, 0-255
    AudioKind kind = AudioKind::Speech;
    QString name;
};

// A frequency range and the mode the receiver's AUTO setting picks there.
struct BandSegment
{
    quint64 low = 0;  // Hz, inclusive
    quint64 high = 0; // Hz, exclusive
    int mode = 1;
};

// The simulated band: stations and the AUTO band plan, from 100 kHz to 3 GHz.
// Immutable after loading; safe to read from several threads.
class BandPlan
{
public:
    // Broadcast, air band, amateur and utility stations across LF-UHF.
    static BandPlan defaultPlan();

    // Reads a plan file. Lines: "band LOW HIGH MODE" and
    // "station FREQ MODE WIDTH LEVEL KIND [NAME...]" (Hz; MODE a name such as USB or a
    // code; KIND silence|noise|tone|speech|bursts|pulses|carrier|fsk|sweep|emission); '#'
    // starts a comment.
    // False with `error` set when the file cannot be read or a line is malformed.
    static bool loadFile(const QString &path, BandPlan *plan, QString *error);

    const QVector<SimStation> &stations() const { return m_stations; }

    // The mode AUTO selects at `frequency` (0-8).
    int modeAt(quint64 frequency) const;
    // Signal level 0-255 seen at `frequency`: the strongest station's level, falling off
    // outside its bandwidth, over the noise floor.
    int levelAt(quint64 frequency) const;
    // The station heard at `frequency` and its relative strength 0..1 (0: none).
    const SimStation *stationAt(quint64 frequency, double *strength) const;

    static constexpr int noiseFloor = 8;

    static QString kindName(AudioKind kind);
    static bool kindFromName(const QString &name, AudioKind *kind);

private:
    QVector<SimStation> m_stations;
    QVector<BandSegment> m_segments;
};
