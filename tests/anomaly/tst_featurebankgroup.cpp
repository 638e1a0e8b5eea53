// The live analysis group on its own: the metric area (values, status lines, decision marks,
// show/hide), locking while armed, and the detector settings dialog with its 49 stored keys.

#include "detectorsettingsdialog.h"
#include "featurebankgroup.h"
#include "metricgrid.h"
#include "settingskeys.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <cmath>
#include <functional>

namespace {

template <typename T> T *child(QWidget *parent, const QString &name)
{
    T *widget = parent->findChild<T *>(name);
    if (!widget)
        qFatal("missing %s", qPrintable(name));
    return widget;
}

QStringList decisionKeys(QSettings &settings)
{
    settings.beginGroup("Anomaly/Decision");
    const QStringList keys = settings.allKeys();
    settings.endGroup();
    return keys;
}

// Runs edit on the modal dialog the group opens, then presses OK or Cancel.
void editDialog(FeatureBankGroup &group, bool accept,
                const std::function<void(DetectorSettingsDialog *)> &edit)
{
    QTimer::singleShot(0, [accept, edit] {
        auto *dialog = qobject_cast<DetectorSettingsDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        edit(dialog);
        auto *buttons = dialog->findChild<QDialogButtonBox *>();
        buttons->button(accept ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
    });
    group.editDetectorSettings();
}

} // namespace

class TestFeatureBankGroup : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_files = 0;

    std::unique_ptr<QSettings> settingsFile()
    {
        return std::make_unique<QSettings>(m_dir.filePath(QString("s%1.ini").arg(++m_files)),
                                           QSettings::IniFormat);
    }

private slots:
    void values_data();
    void values();
    void statusLinesWhileArmed();
    void decisionMarksActiveMetrics();
    void hiddenMetricsKeepUpdating();
    void settingsDialogWritesOnOkOnly();
    void settingsClampedOnRead();
};

void TestFeatureBankGroup::values_data()
{
    QTest::addColumn<int>("metric");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("rms") << 0 << -42.1251 << "-42.13 dBFS";
    QTest::newRow("kurtosis") << 1 << 0.12345 << "0.123";
    QTest::newRow("NaN") << 1 << std::nan("") << "--";
    QTest::newRow("infinite") << 3 << HUGE_VAL << "--";
    QTest::newRow("envelope peak") << 6 << 23.04 << "23.0 dB";
    QTest::newRow("envelope frequency") << 7 << 123.6 << "124 Hz";
    QTest::newRow("no peaks") << 8 << 0.0 << "0";
    QTest::newRow("comb spacing") << 9 << 100.0 << "100.0 Hz";
    QTest::newRow("slope") << 12 << -48.0 << "-48 Hz/s";
    QTest::newRow("notch") << 13 << 7.26 << "7.3 dB";
}

void TestFeatureBankGroup::values()
{
    QFETCH(int, metric);
    QFETCH(double, value);
    QFETCH(QString, shown);
    auto settings = settingsFile();
    FeatureBankGroup group(*settings);
    MetricGrid *grid = group.metricGrid();
    QCOMPARE(grid->valueLabel(metric)->text(), QStringLiteral("--"));
    QVector<double> values(14, 1.0);
    values[metric] = value;
    grid->showFeatures(3, 24, values, 2.0);
    QCOMPARE(grid->valueLabel(metric)->text(), shown);
    QVERIFY(grid->valueLabel(metric)->minimumWidth() >= 80);
}

void TestFeatureBankGroup::statusLinesWhileArmed()
{
    auto settings = settingsFile();
    FeatureBankGroup group(*settings);
    MetricGrid *grid = group.metricGrid();
    QCOMPARE(grid->statusText(), QString::fromUtf8("Idle \u2014 arm to start live analysis"));
    group.setArmed(true);
    QCOMPARE(grid->statusText(), QString::fromUtf8("Collecting first second\u2026"));
    for (const char *name : {"anomalyMonitorCB", "anomalyLowHz", "anomalyHighHz",
                             "anomalyAutomaticCB", "anomalyDetectorSettingsButton"})
        QVERIFY2(!child<QWidget>(&group, name)->isEnabled(), name);
    QVERIFY(child<QWidget>(&group, "anomalyReplayButton")->isEnabled());

    grid->showFeatures(12, 63, QVector<double>(14, 0.5), 3.456);
    QCOMPARE(grid->statusText(),
             QStringLiteral("Elapsed 12 s | structural history 7/8 s | DSP 3.5 ms/update"));
    grid->showFeaturesError("std::bad_alloc");
    QCOMPARE(grid->statusText(),
             QStringLiteral("Analysis stopped (capture still active): std::bad_alloc"));
    QCOMPARE(grid->valueLabel(0)->text(), QStringLiteral("--"));

    group.setArmed(false);
    QCOMPARE(grid->statusText(), QString::fromUtf8("Idle \u2014 arm to start live analysis"));
    QVERIFY(child<QWidget>(&group, "anomalyDetectorSettingsButton")->isEnabled());
    child<QCheckBox>(&group, "anomalyMonitorCB")->setChecked(false);
    group.setArmed(true);
    QCOMPARE(grid->statusText(), QStringLiteral("Monitor disabled"));

    // In Italian.
    qApp->setProperty("language", "it");
    group.setArmed(false);
    QCOMPARE(grid->statusText(), QString::fromUtf8("Inattivo \u2014 arma per avviare l'analisi "
                                                   "dal vivo"));
    qApp->setProperty("language", QVariant());
}

void TestFeatureBankGroup::decisionMarksActiveMetrics()
{
    auto settings = settingsFile();
    settings->setValue("Anomaly/Decision/flux/Enabled", false);
    FeatureBankGroup group(*settings);
    MetricGrid *grid = group.metricGrid();
    group.setArmed(true);
    grid->showFeatures(70, 64, QVector<double>(14, 1.0), 1.0);
    QVector<double> scores(14, 0.25);
    scores[1] = 1.5;
    group.showDecision("NEW", scores, 60, 1 << 1, 0, 0);
    QCOMPARE(grid->valueLabel(1)->styleSheet(),
             QStringLiteral("font-weight: bold; color: #e09337;"));
    QCOMPARE(grid->valueLabel(0)->styleSheet(), QString());
    QCOMPARE(grid->valueLabel(1)->toolTip(),
             QStringLiteral("Gaussian noise tends to zero; impulsive signals often positive. | "
                            "Score: 1.50"));
    QVERIFY(grid->valueLabel(4)->toolTip().endsWith(" | Not used for trigger")); // disabled
    QVERIFY(grid->valueLabel(7)->toolTip().endsWith(" | Not used for trigger")); // descriptive
    QCOMPARE(grid->valueLabel(1)->text(), QStringLiteral("1.000"));

    // A new arm clears values and marks.
    group.setArmed(false);
    group.setArmed(true);
    QCOMPARE(grid->valueLabel(1)->styleSheet(), QString());
    QCOMPARE(grid->valueLabel(1)->text(), QStringLiteral("--"));
}

void TestFeatureBankGroup::hiddenMetricsKeepUpdating()
{
    auto settings = settingsFile();
    FeatureBankGroup group(*settings);
    group.show();
    auto *toggle = child<QToolButton>(&group, "anomalyShowMetrics");
    MetricGrid *grid = group.metricGrid();
    QVERIFY(toggle->isChecked());
    QCOMPARE(toggle->arrowType(), Qt::DownArrow);
    QVERIFY(grid->isVisible());
    toggle->click();
    QVERIFY(!grid->isVisible());
    QCOMPARE(toggle->arrowType(), Qt::RightArrow);
    group.setArmed(true);
    grid->showFeatures(5, 40, QVector<double>(14, -20.0), 1.0);
    toggle->click();
    QVERIFY(grid->isVisible());
    QCOMPARE(grid->valueLabel(0)->text(), QStringLiteral("-20.00 dBFS"));
}

void TestFeatureBankGroup::settingsDialogWritesOnOkOnly()
{
    auto settings = settingsFile();
    FeatureBankGroup group(*settings);
    const auto edit = [](DetectorSettingsDialog *dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Anomaly detector settings"));
        child<QSpinBox>(dialog, "anomalyLearn")->setValue(25);
        child<QSpinBox>(dialog, "anomalyCooldown")->setValue(0);
        child<QCheckBox>(dialog, "anomalyCaptureEnd")->setChecked(true);
        child<QCheckBox>(dialog, "rule_rms_enabled")->setChecked(false);
        child<QDoubleSpinBox>(dialog, "rule_notch_depth_z")->setValue(2.5);
        child<QDoubleSpinBox>(dialog, "rule_comb_count_absolute")->setValue(0.0);
        QVERIFY(!dialog->findChild<QCheckBox *>("rule_envelope_hz_enabled"));
    };
    editDialog(group, false, edit);
    QVERIFY(decisionKeys(*settings).isEmpty());
    QCOMPARE(group.decisionConfig().learn, 60);

    editDialog(group, true, edit);
    QCOMPARE(decisionKeys(*settings).size(), 49);
    QCOMPARE(settings->value("Anomaly/Decision/Learn").toInt(), 25);
    QCOMPARE(settings->value("Anomaly/Decision/Cooldown").toInt(), 0);
    QCOMPARE(settings->value("Anomaly/Decision/CaptureEnd").toBool(), true);
    QCOMPARE(settings->value("Anomaly/Decision/rms/Enabled").toBool(), false);
    QCOMPARE(settings->value("Anomaly/Decision/notch_depth/Z").toDouble(), 2.5);
    QCOMPARE(settings->value("Anomaly/Decision/comb_count/Absolute").toDouble(), 0.0);
    QCOMPARE(settings->value("Anomaly/Decision/autocorrelation/Absolute").toDouble(), 0.8);
    QVERIFY(!settings->contains("Anomaly/Decision/envelope_hz/Z"));
    const DecisionConfig config = group.decisionConfig();
    QCOMPARE(config.learn, 25);
    QVERIFY(!config.rules[0].enabled);
    QCOMPARE(config.rules[13].z, 2.5);
    QVERIFY(!config.automatic);

    // Read back by a new group as stored.
    FeatureBankGroup again(*settings);
    QCOMPARE(again.decisionConfig().rules[13].z, 2.5);
    QCOMPARE(again.decisionConfig().cooldown, 0);
}

void TestFeatureBankGroup::settingsClampedOnRead()
{
    auto settings = settingsFile();
    settings->setValue("Anomaly/Decision/Learn", 5);
    settings->setValue("Anomaly/Decision/Release", 500);
    settings->setValue("Anomaly/Decision/kurtosis/Z", 1000);
    settings->setValue("Anomaly/Decision/entropy/Floor", -1);
    settings->setValue("Anomaly/Decision/flux/Absolute", "nan");
    FeatureBankGroup group(*settings);
    editDialog(group, false, [](DetectorSettingsDialog *dialog) {
        QCOMPARE(child<QSpinBox>(dialog, "anomalyLearn")->value(), 10);
        QCOMPARE(child<QSpinBox>(dialog, "anomalyRelease")->value(), 120);
        QCOMPARE(child<QDoubleSpinBox>(dialog, "rule_kurtosis_z")->value(), 100.0);
        QCOMPARE(child<QDoubleSpinBox>(dialog, "rule_entropy_floor")->value(), 0.001);
        QCOMPARE(child<QDoubleSpinBox>(dialog, "rule_flux_absolute")->value(), 0.0);
    });
}

QTEST_MAIN(TestFeatureBankGroup)
#include "tst_featurebankgroup.moc"
