// Solar geometry against an independent reference: the NOAA solar calculator's equations (after
// Meeus, "Astronomical Algorithms"), written out here from the published formulas, at more than
// ten thousand instants from 1900 to 2100. Plus the anchor values, the wrap at ±180° and the
// continuity of the elevation across the date line.

#include "solargeometry.h"

#include <QtTest>

#include <cmath>
#include <random>

using namespace Greyline;

namespace {

constexpr double degree = 0.017453292519943295;

// The sun by the NOAA solar calculator, for a Julian date (UT).
struct Reference
{
    double declination;
    double subsolarLongitude;

    explicit Reference(double julianDate)
    {
        const double t = (julianDate - 2451545.0) / 36525.0; // Julian centuries
        const double meanLongitude =
            std::fmod(280.46646 + t * (36000.76983 + t * 0.0003032), 360.0);
        const double meanAnomaly = 357.52911 + t * (35999.05029 - 0.0001537 * t);
        const double eccentricity = 0.016708634 - t * (0.000042037 + 0.0000001267 * t);
        const double m = meanAnomaly * degree;
        const double centre = std::sin(m) * (1.914602 - t * (0.004817 + 0.000014 * t)) +
                              std::sin(2 * m) * (0.019993 - 0.000101 * t) +
                              std::sin(3 * m) * 0.000289;
        const double omega = (125.04 - 1934.136 * t) * degree;
        const double apparentLongitude =
            (meanLongitude + centre - 0.00569 - 0.00478 * std::sin(omega)) * degree;
        const double meanObliquity =
            23.0 + (26.0 + (21.448 - t * (46.815 + t * (0.00059 - t * 0.001813))) / 60.0) / 60.0;
        const double obliquity = (meanObliquity + 0.00256 * std::cos(omega)) * degree;
        declination = std::asin(std::sin(obliquity) * std::sin(apparentLongitude)) / degree;

        const double y = std::pow(std::tan(obliquity / 2.0), 2);
        const double l0 = meanLongitude * degree;
        const double equationOfTimeMinutes =
            4.0 / degree *
            (y * std::sin(2 * l0) - 2 * eccentricity * std::sin(m) +
             4 * eccentricity * y * std::sin(m) * std::cos(2 * l0) -
             0.5 * y * y * std::sin(4 * l0) - 1.25 * eccentricity * eccentricity * std::sin(2 * m));
        // Local apparent noon (hour angle 0) where true solar time is 720 minutes.
        const double minutes = (julianDate + 0.5 - std::floor(julianDate + 0.5)) * 1440.0;
        subsolarLongitude = (720.0 - minutes - equationOfTimeMinutes) / 4.0;
    }

    // Elevation from the hour angle, as the calculator computes it (no refraction).
    double elevation(double latitude, double longitude) const
    {
        const double hourAngle = (longitude - subsolarLongitude) * degree;
        const double cosZenith =
            std::sin(latitude * degree) * std::sin(declination * degree) +
            std::cos(latitude * degree) * std::cos(declination * degree) * std::cos(hourAngle);
        return 90.0 - std::acos(std::clamp(cosZenith, -1.0, 1.0)) / degree;
    }
};

// Difference of two longitudes, taking the short way round.
double longitudeDifference(double a, double b)
{
    return std::abs(std::remainder(a - b, 360.0));
}

struct Instant
{
    QDate date;
    double minute;
};

// Random instants over 1900-2100 at all times of day, plus leap days, year ends and the first
// minutes of years.
QVector<Instant> oracleInstants()
{
    QVector<Instant> instants;
    std::mt19937 generator(20240621);
    const qint64 first = QDate(1900, 1, 1).toJulianDay();
    const qint64 last = QDate(2100, 12, 31).toJulianDay();
    std::uniform_int_distribution<qint64> day(first, last);
    std::uniform_real_distribution<double> minute(0.0, 1440.0);
    for (int i = 0; i < 10000; ++i)
        instants.append({QDate::fromJulianDay(day(generator)), minute(generator)});
    for (int year = 1900; year <= 2100; ++year) {
        if (QDate::isLeapYear(year)) {
            instants.append({QDate(year, 2, 29), 0.0});
            instants.append({QDate(year, 2, 29), 1439.5});
        }
        instants.append({QDate(year, 12, 31), 1439.0});
        instants.append({QDate(year, 12, 31), 1440.0});
        instants.append({QDate(year, 1, 1), 0.0});
    }
    return instants;
}

} // namespace

class TestSolarGeometry : public QObject
{
    Q_OBJECT

private slots:
    void wrapBringsAnglesIntoRange_data()
    {
        QTest::addColumn<double>("angle");
        QTest::addColumn<double>("wrapped");
        QTest::newRow("zero") << 0.0 << 0.0;
        QTest::newRow("inside") << 123.25 << 123.25;
        QTest::newRow("negative inside") << -179.5 << -179.5;
        QTest::newRow("plus 180") << 180.0 << -180.0;
        QTest::newRow("minus 180") << -180.0 << -180.0;
        QTest::newRow("just past 180") << 180.5 << -179.5;
        QTest::newRow("just below -180") << -180.5 << 179.5;
        QTest::newRow("full turn") << 360.0 << 0.0;
        QTest::newRow("many turns") << 3610.0 << 10.0;
        QTest::newRow("many negative turns") << -3610.0 << -10.0;
        QTest::newRow("mean anomaly at J2000") << 357.529 << -2.471;
    }

    void wrapBringsAnglesIntoRange()
    {
        QFETCH(double, angle);
        QFETCH(double, wrapped);
        QVERIFY2(std::abs(wrap(angle) - wrapped) < 1e-9,
                 qPrintable(QString::number(wrap(angle), 'g', 17)));
        QVERIFY(std::isnan(wrap(std::nan(""))));
    }

    void anchorValues_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<double>("declination");
        QTest::addColumn<double>("subsolar");
        QTest::newRow("J2000.0") << QDate(2000, 1, 1) << -23.03 << 0.83;
        QTest::newRow("June solstice 2024") << QDate(2024, 6, 21) << 23.43 << 0.48;
    }

    void anchorValues()
    {
        QFETCH(QDate, date);
        QFETCH(double, declination);
        QFETCH(double, subsolar);
        const SunPosition sun = sunPosition(dayZero(date), 720.0);
        QVERIFY2(std::abs(sun.declination - declination) <= 0.01,
                 qPrintable(QString::number(sun.declination, 'f', 4)));
        QVERIFY2(std::abs(sun.subsolarLongitude - subsolar) <= 0.01,
                 qPrintable(QString::number(sun.subsolarLongitude, 'f', 4)));
    }

    void dayZeroIsHalfADayBeforeTheDayNumber()
    {
        QCOMPARE(dayZero(QDate(2000, 1, 1)), 2451544.5);
        QCOMPARE(dayZero(QDate(1900, 1, 1)), 2415020.5);
        QCOMPARE(dayZero(QDate(2024, 3, 1)) - dayZero(QDate(2024, 2, 28)), 2.0);
    }

    // Declination, subsolar longitude and elevation within 0.1° of the reference everywhere.
    void agreesWithTheNoaaCalculator()
    {
        const QVector<Instant> instants = oracleInstants();
        QVERIFY(instants.size() >= 10000);
        std::mt19937 generator(7);
        std::uniform_real_distribution<double> latitude(-90.0, 90.0);
        std::uniform_real_distribution<double> longitude(-180.0, 180.0);
        double worstDeclination = 0.0;
        double worstSubsolar = 0.0;
        double worstElevation = 0.0;
        QString whereDeclination;
        QString whereSubsolar;
        QString whereElevation;
        const auto where = [](const Instant &instant) {
            return instant.date.toString(Qt::ISODate) + QStringLiteral(" minute ") +
                   QString::number(instant.minute, 'f', 2);
        };
        for (const Instant &instant : instants) {
            const SunPosition sun = sunPosition(dayZero(instant.date), instant.minute);
            const Reference reference(dayZero(instant.date) + instant.minute / 1440.0);
            QVERIFY(sun.subsolarLongitude >= -180.0 && sun.subsolarLongitude <= 180.0);
            const double declination = std::abs(sun.declination - reference.declination);
            if (declination > worstDeclination) {
                worstDeclination = declination;
                whereDeclination = where(instant);
            }
            const double subsolar =
                longitudeDifference(sun.subsolarLongitude, reference.subsolarLongitude);
            if (subsolar > worstSubsolar) {
                worstSubsolar = subsolar;
                whereSubsolar = where(instant);
            }
            for (int site = 0; site < 3; ++site) {
                const double lat = latitude(generator);
                const double lon = longitude(generator);
                const double elevation =
                    std::abs(solarElevation(sun, lat, lon) - reference.elevation(lat, lon));
                if (elevation > worstElevation) {
                    worstElevation = elevation;
                    whereElevation =
                        where(instant) +
                        QStringLiteral(" at %1, %2").arg(lat, 0, 'f', 2).arg(lon, 0, 'f', 2);
                }
            }
        }
        qInfo("largest deviation from the reference over %d instants:", int(instants.size()));
        qInfo("  declination %.4f° (%s)", worstDeclination, qPrintable(whereDeclination));
        qInfo("  subsolar longitude %.4f° (%s)", worstSubsolar, qPrintable(whereSubsolar));
        qInfo("  elevation %.4f° (%s)", worstElevation, qPrintable(whereElevation));
        QVERIFY(worstDeclination < 0.1);
        QVERIFY(worstSubsolar < 0.1);
        QVERIFY(worstElevation < 0.1);
    }

    // 2024-02-11 00:00 and 2024-11-03 23:59 UTC put the subsolar point just beside the date
    // line, on either side of it; the wrapped value still agrees with the reference.
    void subsolarPointBesideTheDateLine_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<double>("minute");
        QTest::addColumn<double>("sign");
        QTest::newRow("2024-02-11 00:00") << QDate(2024, 2, 11) << 0.0 << -1.0;
        QTest::newRow("2024-11-03 23:59") << QDate(2024, 11, 3) << 1439.0 << 1.0;
    }

    void subsolarPointBesideTheDateLine()
    {
        QFETCH(QDate, date);
        QFETCH(double, minute);
        QFETCH(double, sign);
        const SunPosition sun = sunPosition(dayZero(date), minute);
        QVERIFY2(std::abs(sun.subsolarLongitude) > 175.0,
                 qPrintable(QString::number(sun.subsolarLongitude)));
        QCOMPARE(sun.subsolarLongitude > 0.0, sign > 0.0);
        const Reference reference(dayZero(date) + minute / 1440.0);
        QVERIFY(longitudeDifference(sun.subsolarLongitude, reference.subsolarLongitude) < 0.05);
    }

    // The elevation moves smoothly while the subsolar point jumps from -180° to 180°, and is
    // the same on both sides of the date line.
    void elevationIsContinuousAcrossTheDateLine()
    {
        const double day0 = dayZero(QDate(2024, 2, 11));
        const double start = -30.0; // minutes of the previous day
        double previous = std::nan("");
        bool jumped = false;
        double previousSubsolar = sunPosition(day0, start).subsolarLongitude;
        for (double minute = start; minute <= 30.0; minute += 0.25) {
            const SunPosition sun = sunPosition(day0, minute);
            jumped = jumped || std::abs(sun.subsolarLongitude - previousSubsolar) > 300.0;
            previousSubsolar = sun.subsolarLongitude;
            for (const double latitude : {-45.0, 0.0, 60.0}) {
                const double east = solarElevation(sun, latitude, 179.9999);
                const double west = solarElevation(sun, latitude, -179.9999);
                QVERIFY(std::abs(east - west) < 1e-3);
            }
            const double elevation = solarElevation(sun, 10.0, 180.0);
            if (!std::isnan(previous))
                QVERIFY(std::abs(elevation - previous) < 0.25 * 0.25 + 1e-9);
            previous = elevation;
        }
        QVERIFY(jumped);
    }

    // Midnight of a leap day and of the day after continue the same sun.
    void daysJoinAtMidnight_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::newRow("leap day 2024") << QDate(2024, 2, 29);
        QTest::newRow("leap day 2000") << QDate(2000, 2, 29);
        QTest::newRow("1900-02-28 (no leap day)") << QDate(1900, 2, 28);
        QTest::newRow("year end 2099") << QDate(2099, 12, 31);
    }

    void daysJoinAtMidnight()
    {
        QFETCH(QDate, date);
        const SunPosition end = sunPosition(dayZero(date), 1440.0);
        const SunPosition next = sunPosition(dayZero(date.addDays(1)), 0.0);
        QVERIFY(std::abs(end.declination - next.declination) < 1e-9);
        QVERIFY(longitudeDifference(end.subsolarLongitude, next.subsolarLongitude) < 1e-9);
    }

    void elevationLimits()
    {
        const SunPosition sun = sunPosition(dayZero(QDate(2024, 3, 20)), 600.0);
        // At the subsolar point and its antipode the rounding must not leave -90 ... 90.
        const double zenith = solarElevation(sun, sun.declination, sun.subsolarLongitude);
        const double nadir =
            solarElevation(sun, -sun.declination, wrap(sun.subsolarLongitude + 180.0));
        QVERIFY(zenith <= 90.0 && zenith > 90.0 - 1e-5);
        QVERIFY(nadir >= -90.0 && nadir < -90.0 + 1e-5);
        // The poles see the declination.
        QVERIFY(std::abs(solarElevation(sun, 90.0, 17.0) - sun.declination) < 1e-9);
        QVERIFY(std::abs(solarElevation(sun, -90.0, -120.0) + sun.declination) < 1e-9);
    }
};

QTEST_GUILESS_MAIN(TestSolarGeometry)
#include "tst_solargeometry.moc"
