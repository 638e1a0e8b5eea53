// Analytic envelope power: the two- and three-sample spectra, whole-period sinusoids and the
// refusal of shorter inputs.

#include "nativedsp.h"

#include <QtTest>

#include <cmath>
#include <stdexcept>

namespace {
constexpr double pi = 3.14159265358979323846;
}

class TestEnvelope : public QObject
{
    Q_OBJECT

private slots:
    // Two samples: bin 0 and the Nyquist bin stay, so z = x and the power is x^2 / 2.
    void twoSamplesKeepBothBins()
    {
        const auto power = NativeDsp::analyticEnvelopePower({3.0, -1.0});
        QCOMPARE(power.size(), std::size_t(2));
        QVERIFY(std::abs(power[0] - 4.5) < 1e-14);
        QVERIFY(std::abs(power[1] - 0.5) < 1e-14);
    }

    // Three samples of an impulse: bins {1, 1, 1} become {1, 2, 0}, so
    // z_n = (1 + 2 e^(2 pi i n / 3)) / 3 and |z|^2 = {1, 1/3, 1/3}.
    void threeSamplesDoubleBinOneAndDropBinTwo()
    {
        const auto power = NativeDsp::analyticEnvelopePower({1.0, 0.0, 0.0});
        QCOMPARE(power.size(), std::size_t(3));
        QVERIFY(std::abs(power[0] - 0.5) < 1e-14);
        QVERIFY(std::abs(power[1] - 0.5 / 3) < 1e-14);
        QVERIFY(std::abs(power[2] - 0.5 / 3) < 1e-14);
    }

    void wholePeriodSinusoidHasFlatMeanPower_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("periods");
        QTest::addColumn<double>("amplitude");
        QTest::addColumn<double>("phase");
        QTest::newRow("unit cosine, even length") << 480 << 7 << 1.0 << 0.0;
        QTest::newRow("unit cosine, odd length") << 999 << 10 << 1.0 << 0.0;
        QTest::newRow("sine of amplitude 3") << 4096 << 101 << 3.0 << -pi / 2;
        QTest::newRow("one period") << 5 << 1 << 0.5 << 1.0;
    }
    void wholePeriodSinusoidHasFlatMeanPower()
    {
        QFETCH(int, n);
        QFETCH(int, periods);
        QFETCH(double, amplitude);
        QFETCH(double, phase);
        std::vector<double> x(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i)
            x[static_cast<std::size_t>(i)] = amplitude * std::cos(2 * pi * periods * i / n + phase);
        const auto power = NativeDsp::analyticEnvelopePower(x);
        QCOMPARE(power.size(), x.size());
        for (double p : power)
            QVERIFY(std::abs(p - amplitude * amplitude / 2) < 1e-12);
    }

    void fewerThanTwoSamplesAreRefused()
    {
        for (std::size_t n : {0u, 1u}) {
            try {
                NativeDsp::analyticEnvelopePower(std::vector<double>(n, 1.0));
                QFAIL("accepted");
            } catch (const std::invalid_argument &error) {
                QCOMPARE(QString(error.what()),
                         QString("Hilbert transform requires at least two samples"));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestEnvelope)
#include "tst_envelope.moc"
