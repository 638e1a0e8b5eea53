// Transform conventions of the FFT wrappers: kernel sign, scaling, half spectrum, round trips,
// buffer bounds, alignment and concurrent use.

#include "nativedsp.h"

#include <QtTest>

#include <cmath>
#include <random>
#include <thread>

using NativeDsp::Complex;

namespace {

constexpr double pi = 3.14159265358979323846;

std::vector<double> randomSignal(std::size_t n, unsigned seed)
{
    std::mt19937 generator(seed);
    std::uniform_real_distribution<double> distribution(-1.0, 1.0);
    std::vector<double> x(n);
    for (double &v : x)
        v = distribution(generator);
    return x;
}

// One bin of the direct DFT sum, in long double so it serves as the reference.
Complex directBin(const std::vector<Complex> &x, std::size_t k, int sign)
{
    const std::size_t n = x.size();
    long double re = 0, im = 0;
    for (std::size_t j = 0; j < n; ++j) {
        const long double angle =
            sign * 2.0L * static_cast<long double>(pi) * static_cast<long double>((k * j) % n) / n;
        const long double c = std::cos(angle), s = std::sin(angle);
        re += x[j].real() * c - x[j].imag() * s;
        im += x[j].real() * s + x[j].imag() * c;
    }
    return {static_cast<double>(re), static_cast<double>(im)};
}

std::vector<Complex> asComplex(const std::vector<double> &x)
{
    return std::vector<Complex>(x.begin(), x.end());
}

// The bins checked against the direct sum: all of them for short lengths, a spread otherwise.
std::vector<std::size_t> checkedBins(std::size_t binCount)
{
    std::vector<std::size_t> bins;
    const std::size_t step = binCount <= 64 ? 1 : binCount / 37;
    for (std::size_t k = 0; k < binCount; k += step)
        bins.push_back(k);
    bins.push_back(binCount - 1);
    return bins;
}

} // namespace

class TestTransforms : public QObject
{
    Q_OBJECT

private slots:
    void lengths_data()
    {
        QTest::addColumn<int>("n");
        for (int n : {1, 2, 3, 4096, 48000, 4099})
            QTest::addRow("%d", n) << n;
    }

    void forwardRealMatchesDirectSum_data() { lengths_data(); }
    void forwardRealMatchesDirectSum()
    {
        QFETCH(int, n);
        const auto x = randomSignal(static_cast<std::size_t>(n), 1);
        const auto bins = NativeDsp::forwardRealFft(x);
        QCOMPARE(bins.size(), static_cast<std::size_t>(n / 2 + 1));
        const double tolerance = 1e-9 * n;
        for (std::size_t k : checkedBins(bins.size())) {
            const Complex expected = directBin(asComplex(x), k, -1);
            QVERIFY2(std::abs(bins[k] - expected) < tolerance, qPrintable(QString::number(k)));
        }
        const auto scaled = NativeDsp::forwardRealFft(x, 0.25);
        QVERIFY(std::abs(scaled.back() - 0.25 * bins.back()) < 1e-12 * n);
    }

    void realRoundTrip_data() { lengths_data(); }
    void realRoundTrip()
    {
        QFETCH(int, n);
        const auto x = randomSignal(static_cast<std::size_t>(n), 2);
        const auto back = NativeDsp::inverseRealFft(NativeDsp::forwardRealFft(x), x.size());
        QCOMPARE(back.size(), x.size());
        for (std::size_t i = 0; i < x.size(); ++i)
            QVERIFY(std::abs(back[i] - x[i]) < 1e-12);
    }

    void complexMatchesDirectSumBothWays_data() { lengths_data(); }
    void complexMatchesDirectSumBothWays()
    {
        QFETCH(int, n);
        const auto re = randomSignal(static_cast<std::size_t>(n), 3);
        const auto im = randomSignal(static_cast<std::size_t>(n), 4);
        std::vector<Complex> x(re.size());
        for (std::size_t i = 0; i < x.size(); ++i)
            x[i] = {re[i], im[i]};
        const auto forward = NativeDsp::complexFft(x, NativeDsp::FftDirection::Forward);
        const auto inverse = NativeDsp::complexFft(x, NativeDsp::FftDirection::Inverse);
        const double tolerance = 1e-9 * n;
        for (std::size_t k : checkedBins(x.size())) {
            QVERIFY(std::abs(forward[k] - directBin(x, k, -1)) < tolerance);
            QVERIFY(std::abs(inverse[k] - directBin(x, k, +1) / static_cast<double>(n)) <
                    tolerance / n);
        }
        const auto back = NativeDsp::complexFft(forward, NativeDsp::FftDirection::Inverse);
        for (std::size_t i = 0; i < x.size(); ++i)
            QVERIFY(std::abs(back[i] - x[i]) < 1e-12);
    }

    void cosineLandsInItsBin()
    {
        const std::size_t n = 48000;
        std::vector<double> x(n);
        for (std::size_t i = 0; i < n; ++i)
            x[i] = 3.0 * std::cos(2.0 * pi * 1000.0 * static_cast<double>(i) / 48000.0);
        const auto power = NativeDsp::powerSpectrum(x);
        QCOMPARE(power.size(), n / 2 + 1);
        // Bin k lies at k * fs / N Hz: 1000 Hz is bin 1000, amplitude 3 gives |X| = 3 N / 2.
        QVERIFY(std::abs(power[1000] / std::pow(1.5 * n, 2) - 1.0) < 1e-9);
        double elsewhere = 0;
        for (std::size_t k = 0; k < power.size(); ++k)
            if (k != 1000)
                elsewhere = std::max(elsewhere, power[k]);
        QVERIFY(elsewhere < 1e-12 * power[1000]);
    }

    void inverseIgnoresImaginaryPartsOfSelfConjugateBins()
    {
        std::vector<Complex> bins = {{4.0, 7.0}, {0.0, -2.0}, {1.0, 5.0}};
        const auto x = NativeDsp::inverseRealFft(bins, 4);
        // x_n = (4 + 2 * Re(-2i e^{i pi n / 2}) + (-1)^n) / 4.
        const std::vector<double> expected = {1.25, 1.75, 1.25, -0.25};
        for (std::size_t i = 0; i < 4; ++i)
            QVERIFY(std::abs(x[i] - expected[i]) < 1e-15);
        // Missing bins count as 0, surplus bins are ignored.
        QCOMPARE(NativeDsp::inverseRealFft({{8.0, 0.0}}, 4), std::vector<double>(4, 2.0));
        QCOMPARE(NativeDsp::inverseRealFft(std::vector<Complex>(9, 2.0), 2),
                 (std::vector<double>{2.0, 0.0}));
    }

    void emptyInputsGiveEmptyResults()
    {
        QVERIFY(NativeDsp::forwardRealFft({}).empty());
        QVERIFY(NativeDsp::inverseRealFft({}, 0).empty());
        QVERIFY(NativeDsp::complexFft({}, NativeDsp::FftDirection::Inverse).empty());
        QVERIFY(NativeDsp::powerSpectrum({}).empty());
        QVERIFY(NativeDsp::hannWindow(0).empty());
    }

    // The buffer form writes exactly n/2 + 1 bins, for input at any alignment.
    void bufferFormStaysInBoundsAtAnyAlignment()
    {
        const std::size_t n = 1000;
        const auto x = randomSignal(n + 1, 5);
        const auto reference =
            NativeDsp::forwardRealFft(std::vector<double>(x.begin() + 1, x.end()));
        std::vector<Complex> out(n / 2 + 3, Complex(-7.0, 7.0));
        // x.data() + 1 is 8 bytes off the allocator's alignment.
        NativeDsp::forwardRealFft(x.data() + 1, n, out.data() + 1);
        QCOMPARE(out.front(), Complex(-7.0, 7.0));
        QCOMPARE(out.back(), Complex(-7.0, 7.0));
        for (std::size_t k = 0; k <= n / 2; ++k)
            QVERIFY(std::abs(out[k + 1] - reference[k]) < 1e-12);
    }

    void concurrentTransformsAgreeWithSerialOnes()
    {
        const std::vector<std::size_t> lengths = {960, 1023, 4096, 7919, 44100};
        std::vector<std::vector<Complex>> expected;
        for (std::size_t n : lengths)
            expected.push_back(
                NativeDsp::forwardRealFft(randomSignal(n, static_cast<unsigned>(n))));
        std::atomic<int> mismatches{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&, t] {
                for (int round = 0; round < 20; ++round) {
                    const std::size_t i = static_cast<std::size_t>(t + round) % lengths.size();
                    const auto x = randomSignal(lengths[i], static_cast<unsigned>(lengths[i]));
                    if (NativeDsp::forwardRealFft(x) != expected[i])
                        ++mismatches;
                    const auto z =
                        NativeDsp::complexFft(asComplex(x), NativeDsp::FftDirection::Forward);
                    if (std::abs(z[1] - expected[i][1]) > 1e-9)
                        ++mismatches;
                }
            });
        }
        for (auto &thread : threads)
            thread.join();
        QCOMPARE(mismatches.load(), 0);
    }

    void hannWindowIsPeriodic()
    {
        const auto w = NativeDsp::hannWindow(4);
        QCOMPARE(w.size(), std::size_t(4));
        QCOMPARE(w[0], 0.0);
        QVERIFY(std::abs(w[1] - 0.5) < 1e-15 && std::abs(w[3] - 0.5) < 1e-15);
        QCOMPARE(w[2], 1.0);
        QCOMPARE(NativeDsp::hannWindow(1), std::vector<double>{0.0});
    }

    void nextFastLength_data()
    {
        QTest::addColumn<qulonglong>("n");
        QTest::addColumn<qulonglong>("expected");
        QTest::newRow("0") << 0ull << 1ull;
        QTest::newRow("1") << 1ull << 1ull;
        QTest::newRow("13") << 13ull << 14ull;
        QTest::newRow("97") << 97ull << 98ull;
        QTest::newRow("4096") << 4096ull << 4096ull;
        QTest::newRow("4099") << 4099ull << 4116ull; // 2^2 * 3 * 7^3
        QTest::newRow("2 * 13") << 26ull << 27ull;
        QTest::newRow("2 * 11 * 7 * 5 * 3") << 2310ull << 2310ull;
        QTest::newRow("17") << 17ull << 18ull;
    }
    void nextFastLength()
    {
        QFETCH(qulonglong, n);
        QFETCH(qulonglong, expected);
        QCOMPARE(static_cast<qulonglong>(NativeDsp::nextFastLength(n)), expected);
    }
};

QTEST_GUILESS_MAIN(TestTransforms)
#include "tst_transforms.moc"
