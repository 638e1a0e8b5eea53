#include "bandplan.h"

#include "receivermode.h"

#include <QFile>
#include <QTextStream>

#include <algorithm>
#include <cmath>

namespace {

constexpr int wfm = 0, nfm = 1, am = 2, usb = 3, lsb = 4, cw = 5;

// Relative response of a receiver tuned `offset` Hz away from a station `width` Hz wide.
double response(double offset, double width)
{
    const double half = width / 2.0;
    const double outside = std::fabs(offset) - half;
    if (outside <= 0.0)
        return 1.0;
    const double x = outside / std::max(half, 500.0);
    return std::exp(-3.0 * x * x);
}

bool parseMode(const QString &text, int *mode)
{
    bool isNumber = false;
    int code = text.toInt(&isNumber);
    if (!isNumber)
        code = receiverModeFromName(text);
    if (code < 0 || code > 8)
        return false;
    *mode = code;
    return true;
}

bool parseHz(const QString &text, quint64 *hz)
{
    bool ok = false;
    *hz = text.toULongLong(&ok);
    return ok;
}

} // namespace

BandPlan BandPlan::defaultPlan()
{
    BandPlan plan;
    plan.m_segments = {
        {100000, 148500, cw},
        {148500, 283500, am},
        {283500, 526500, cw},
        {526500, 1606500, am},
        {1606500, 1800000, usb},
        {1800000, 2000000, lsb},
        {2000000, 3500000, usb},
        {3500000, 3800000, lsb},
        {3800000, 5900000, usb},
        {5900000, 6200000, am},
        {6200000, 7000000, usb},
        {7000000, 7200000, lsb},
        {7200000, 7450000, am},
        {7450000, 9400000, usb},
        {9400000, 9900000, am},
        {9900000, 11600000, usb},
        {11600000, 12100000, am},
        {12100000, 13570000, usb},
        {13570000, 13870000, am},
        {13870000, 15100000, usb},
        {15100000, 15800000, am},
        {15800000, 17480000, usb},
        {17480000, 17900000, am},
        {17900000, 21450000, usb},
        {21450000, 21850000, am},
        {21850000, 26965000, usb},
        {26965000, 27405000, am},
        {27405000, 29700000, usb},
        {29700000, 87500000, nfm},
        {87500000, 108000000, wfm},
        {108000000, 137000000, am},
        {137000000, 174000000, nfm},
        {174000000, 230000000, wfm},
        {230000000, 400000000, am},
        {400000000, 470000000, nfm},
        {470000000, 862000000, wfm},
        {862000000, 3000000001ULL, nfm},
    };
    using K = AudioKind;
    plan.m_stations = {
        {153000, am, 9000, 150, K::Speech, QStringLiteral("LW broadcast 153")},
        {198000, am, 9000, 175, K::Speech, QStringLiteral("LW broadcast 198")},
        {345000, cw, 500, 80, K::Bursts, QStringLiteral("NDB beacon")},
        {518000, usb, 1000, 90, K::Bursts, QStringLiteral("NAVTEX")},
        {594000, am, 9000, 140, K::Speech, QStringLiteral("MW broadcast 594")},
        {999000, am, 9000, 185, K::Speech, QStringLiteral("MW broadcast 999")},
        {1215000, am, 9000, 160, K::Speech, QStringLiteral("MW broadcast 1215")},
        {1854000, lsb, 2700, 70, K::Speech, QStringLiteral("160 m net")},
        {3630000, lsb, 2700, 90, K::Speech, QStringLiteral("80 m net")},
        {4610000, cw, 200, 120, K::Carrier, QStringLiteral("Carrier 4610")},
        {4625000, usb, 3000, 110, K::Pulses, QStringLiteral("HF buzzer")},
        {4640000, usb, 2700, 100, K::Speech, QStringLiteral("SSB voice 4640")},
        {4655000, cw, 200, 90, K::Carrier, QStringLiteral("Carrier 4655")},
        {4670000, usb, 400, 100, K::Fsk, QStringLiteral("FSK 4670")},
        {4685000, cw, 5000, 80, K::Sweep, QStringLiteral("Sweeping tone 4685")},
        {5000000, am, 6000, 100, K::Pulses, QStringLiteral("Time signal 5 MHz")},
        {5505000, usb, 2700, 80, K::Speech, QStringLiteral("VOLMET")},
        {6000000, am, 9000, 170, K::Speech, QStringLiteral("SW broadcast 49 m")},
        {7074000, usb, 2700, 90, K::Bursts, QStringLiteral("40 m digital")},
        {7100000, lsb, 2700, 100, K::Speech, QStringLiteral("40 m net")},
        {7300000, am, 9000, 160, K::Speech, QStringLiteral("SW broadcast 41 m")},
        {8992000, usb, 2700, 60, K::Speech, QStringLiteral("HF air-ground")},
        {9420000, am, 9000, 190, K::Speech, QStringLiteral("SW broadcast 31 m")},
        {10000000, am, 6000, 110, K::Pulses, QStringLiteral("Time signal 10 MHz")},
        {11175000, usb, 2700, 70, K::Speech, QStringLiteral("HF military air")},
        {11900000, am, 9000, 150, K::Speech, QStringLiteral("SW broadcast 25 m")},
        {13700000, am, 9000, 130, K::Speech, QStringLiteral("SW broadcast 22 m")},
        {14074000, usb, 2700, 100, K::Bursts, QStringLiteral("20 m digital")},
        {14200000, usb, 2700, 95, K::Speech, QStringLiteral("20 m net")},
        {15000000, am, 6000, 90, K::Pulses, QStringLiteral("Time signal 15 MHz")},
        {15400000, am, 9000, 140, K::Speech, QStringLiteral("SW broadcast 19 m")},
        {17800000, am, 9000, 120, K::Speech, QStringLiteral("SW broadcast 16 m")},
        {21600000, am, 9000, 100, K::Speech, QStringLiteral("SW broadcast 13 m")},
        {27185000, am, 9000, 80, K::Speech, QStringLiteral("CB channel 19")},
        {28500000, usb, 2700, 60, K::Speech, QStringLiteral("10 m net")},
        {88100000, wfm, 150000, 200, K::Speech, QStringLiteral("FM broadcast 88.1")},
        {89100000, wfm, 150000, 210, K::Speech, QStringLiteral("FM broadcast 89.1")},
        // One station of each kind of signal a band scan meets, each on its own 100 kHz step:
        // a carrier that quiets the receiver (three steps wide, so the keyed emission above it
        // is always tuned after quiet audio), a short emission, a steady tone and wideband noise.
        {90900000, wfm, 300000, 160, K::Carrier, QStringLiteral("Carrier 90.9")},
        {91100000, wfm, 100000, 150, K::Emission, QStringLiteral("Keyed emission 91.1")},
        {92500000, wfm, 100000, 170, K::Tone, QStringLiteral("Test tone 92.5")},
        {94500000, wfm, 150000, 180, K::Speech, QStringLiteral("FM broadcast 94.5")},
        {96300000, wfm, 100000, 140, K::Noise, QStringLiteral("Wideband noise 96.3")},
        {98000000, wfm, 150000, 190, K::Speech, QStringLiteral("FM broadcast 98.0")},
        {101500000, wfm, 150000, 170, K::Speech, QStringLiteral("FM broadcast 101.5")},
        {104800000, wfm, 150000, 150, K::Speech, QStringLiteral("FM broadcast 104.8")},
        {118700000, am, 8000, 100, K::Bursts, QStringLiteral("Tower")},
        {124350000, am, 8000, 90, K::Speech, QStringLiteral("ATIS")},
        {137100000, nfm, 40000, 60, K::Tone, QStringLiteral("Weather satellite")},
        {145500000, nfm, 12500, 120, K::Bursts, QStringLiteral("2 m calling")},
        {156800000, nfm, 12500, 110, K::Bursts, QStringLiteral("Marine channel 16")},
        {162550000, nfm, 12500, 100, K::Speech, QStringLiteral("Weather radio")},
        {433920000, nfm, 20000, 60, K::Pulses, QStringLiteral("ISM telemetry")},
        {446006250, nfm, 12500, 80, K::Bursts, QStringLiteral("PMR446")},
        {1090000000, am, 1000000, 70, K::Pulses, QStringLiteral("Transponder replies")},
        {1575420000, nfm, 2000000, 30, K::Noise, QStringLiteral("Navigation satellite")},
        {2412000000ULL, nfm, 20000000, 40, K::Noise, QStringLiteral("Wireless LAN")},
    };
    return plan;
}

bool BandPlan::loadFile(const QString &path, BandPlan *plan, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    BandPlan loaded;
    QTextStream in(&file);
    int lineNumber = 0;
    while (!in.atEnd()) {
        ++lineNumber;
        QString text = in.readLine();
        text = text.left(text.indexOf(QLatin1Char('#'))).trimmed();
        if (text.isEmpty())
            continue;
        const QStringList fields = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        bool ok = false;
        if (fields[0] == QLatin1String("band") && fields.size() == 4) {
            BandSegment segment;
            ok = parseHz(fields[1], &segment.low) && parseHz(fields[2], &segment.high) &&
                 segment.low < segment.high && parseMode(fields[3], &segment.mode);
            if (ok)
                loaded.m_segments.append(segment);
        } else if (fields[0] == QLatin1String("station") && fields.size() >= 6) {
            SimStation station;
            bool widthOk = false;
            bool levelOk = false;
            station.width = fields[3].toInt(&widthOk);
            station.level = fields[4].toInt(&levelOk);
            ok = parseHz(fields[1], &station.frequency) && parseMode(fields[2], &station.mode) &&
                 widthOk && station.width > 0 && levelOk && station.level >= 0 &&
                 station.level <= 255 && kindFromName(fields[5], &station.kind);
            station.name = fields.mid(6).join(QLatin1Char(' '));
            if (ok)
                loaded.m_stations.append(station);
        }
        if (!ok) {
            *error = QStringLiteral("%1:%2: malformed line").arg(path).arg(lineNumber);
            return false;
        }
    }
    *plan = loaded;
    return true;
}

int BandPlan::modeAt(quint64 frequency) const
{
    for (const BandSegment &segment : m_segments) {
        if (frequency >= segment.low && frequency < segment.high)
            return segment.mode;
    }
    return frequency < 30000000 ? am : nfm;
}

const SimStation *BandPlan::stationAt(quint64 frequency, double *strength) const
{
    const SimStation *best = nullptr;
    double bestLevel = 0.0;
    for (const SimStation &station : m_stations) {
        const double offset =
            static_cast<double>(frequency) - static_cast<double>(station.frequency);
        const double r = response(offset, station.width);
        if (r * station.level > bestLevel) {
            bestLevel = r * station.level;
            best = &station;
        }
    }
    if (strength)
        *strength = best && best->level > 0 ? bestLevel / best->level : 0.0;
    return bestLevel >= 1.0 ? best : nullptr;
}

int BandPlan::levelAt(quint64 frequency) const
{
    double strength = 0.0;
    const SimStation *station = stationAt(frequency, &strength);
    const double level = station ? strength * station->level : 0.0;
    return std::clamp(static_cast<int>(std::lround(std::max(level, double(noiseFloor)))), 0, 255);
}

QString BandPlan::kindName(AudioKind kind)
{
    switch (kind) {
    case AudioKind::Silence:
        return QStringLiteral("silence");
    case AudioKind::Noise:
        return QStringLiteral("noise");
    case AudioKind::Tone:
        return QStringLiteral("tone");
    case AudioKind::Speech:
        return QStringLiteral("speech");
    case AudioKind::Bursts:
        return QStringLiteral("bursts");
    case AudioKind::Pulses:
        return QStringLiteral("pulses");
    case AudioKind::Carrier:
        return QStringLiteral("carrier");
    case AudioKind::Fsk:
        return QStringLiteral("fsk");
    case AudioKind::Sweep:
        return QStringLiteral("sweep");
    case AudioKind::Emission:
        return QStringLiteral("emission");
    }
    return QString();
}

bool BandPlan::kindFromName(const QString &name, AudioKind *kind)
{
    for (AudioKind candidate :
         {AudioKind::Silence, AudioKind::Noise, AudioKind::Tone, AudioKind::Speech,
          AudioKind::Bursts, AudioKind::Pulses, AudioKind::Carrier, AudioKind::Fsk,
          AudioKind::Sweep, AudioKind::Emission}) {
        if (kindName(candidate).compare(name, Qt::CaseInsensitive) == 0) {
            *kind = candidate;
            return true;
        }
    }
    return false;
}
