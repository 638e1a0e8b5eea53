// Order statistics, mean and the decibel conversion.

#include "nativedsp.h"

#include <QtTest>

#include <cmath>

Q_DECLARE_METATYPE(std::vector<double>)

class TestStatistics : public QObject
{
    Q_OBJECT

private slots:
    void percentile_data()
    {
        QTest::addColumn<std::vector<double>>("values");
        QTest::addColumn<double>("p");
        QTest::addColumn<double>("expected");
        QTest::newRow("interpolated median") << std::vector<double>{1, 2, 3, 4} << 0.5 << 2.5;
        QTest::newRow("single value") << std::vector<double>{5} << 0.9 << 5.0;
        QTest::newRow("empty") << std::vector<double>{} << 0.5 << 0.0;
        QTest::newRow("unsorted quarter") << std::vector<double>{4, 1, 3, 2} << 0.25 << 1.75;
        QTest::newRow("p below 0 clamps") << std::vector<double>{3, 9, 1} << -0.5 << 1.0;
        QTest::newRow("p above 1 clamps") << std::vector<double>{3, 9, 1} << 1.5 << 9.0;
        QTest::newRow("p NaN reads as 0") << std::vector<double>{3, 9, 1} << std::nan("") << 1.0;
        QTest::newRow("last rank exactly") << std::vector<double>{7, -2, 5} << 1.0 << 7.0;
        QTest::newRow("duplicates") << std::vector<double>{2, 2, 2, 8} << 0.9 << 6.2;
        QTest::newRow("97th of 0..100") << [] {
            std::vector<double> v;
            for (int i = 100; i >= 0; --i)
                v.push_back(i);
            return v;
        }() << 0.97 << 97.0;
    }
    void percentile()
    {
        QFETCH(std::vector<double>, values);
        QFETCH(double, p);
        QFETCH(double, expected);
        QVERIFY(std::abs(NativeDsp::percentile(values, p) - expected) < 1e-12);
    }

    void medians_data()
    {
        QTest::addColumn<std::vector<double>>("values");
        QTest::addColumn<double>("median");
        QTest::addColumn<double>("upperMedian");
        QTest::newRow("even count differs") << std::vector<double>{4, 1, 3, 2} << 2.5 << 3.0;
        QTest::newRow("odd count agrees") << std::vector<double>{3, 1, 2} << 2.0 << 2.0;
        QTest::newRow("two values") << std::vector<double>{10, -10} << 0.0 << 10.0;
        QTest::newRow("empty") << std::vector<double>{} << 0.0 << 0.0;
    }
    void medians()
    {
        QFETCH(std::vector<double>, values);
        QFETCH(double, median);
        QFETCH(double, upperMedian);
        QCOMPARE(NativeDsp::median(values), median);
        QCOMPARE(NativeDsp::upperMedian(values), upperMedian);
    }

    void powerToDb_data()
    {
        QTest::addColumn<double>("power");
        QTest::addColumn<double>("db");
        QTest::newRow("zero floors at -200") << 0.0 << -200.0;
        QTest::newRow("below the floor") << 1e-30 << -200.0;
        QTest::newRow("negative") << -4.0 << -200.0;
        QTest::newRow("one") << 1.0 << 0.0;
        QTest::newRow("hundred") << 100.0 << 20.0;
        QTest::newRow("half") << 0.5 << -3.010299956639812;
    }
    void powerToDb()
    {
        QFETCH(double, power);
        QFETCH(double, db);
        QVERIFY(std::abs(NativeDsp::powerToDb(power) - db) < 1e-12);
    }

    void mean()
    {
        QCOMPARE(NativeDsp::mean({1, 2, 3, 6}), 3.0);
        QCOMPARE(NativeDsp::mean({-0.5}), -0.5);
    }
};

QTEST_GUILESS_MAIN(TestStatistics)
#include "tst_statistics.moc"
