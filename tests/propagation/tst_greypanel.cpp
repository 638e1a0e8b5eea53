// The Greyline page as a user drives it: settings loaded without write-back and clamped, live
// and simulated time with UTC dates whatever the local zone (the test runs under
// America/Sao_Paulo, where 2018-11-04 has no local midnight, and Pacific/Kiritimati, fourteen
// hours ahead of UTC), the slider, the live timer only while visible, the tab switch, map
// clicks, the status and window texts in both languages, the plan cache, and a missing map.

#include "greylinemapgeometry.h"
#include "greymap.h"
#include "greypanel.h"
#include "settingskeys.h"

#include <QtTest>

#include <QCheckBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimeEdit>
#include <QTimer>

#include <memory>

using namespace Greyline;

namespace {

const QString emDash = QStringLiteral("\u2014");

PropagationSite rome(const QString &name = QString())
{
    return {name, 41.9, true, 12.5, true};
}

} // namespace

class TestGreyPanel : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<QSettings> m_settings;
    PropagationSite m_site;
    QDateTime m_now;

    std::unique_ptr<GreyPanel> makePanel(bool italian = false,
                                         const QString &mapPath = worldMapResource)
    {
        auto panel = std::make_unique<GreyPanel>(
            *m_settings, [this] { return m_site; }, italian, nullptr, mapPath);
        panel->setClock([this] { return m_now; });
        panel->syncToNow();
        panel->recomputeGreyline();
        return panel;
    }

    template <typename T> static T *child(const GreyPanel &panel, const char *name)
    {
        T *found = panel.findChild<T *>(QString::fromLatin1(name));
        if (!found)
            qFatal("no child %s", name);
        return found;
    }

    static QString label(const GreyPanel &panel, const char *name)
    {
        return child<QLabel>(panel, name)->text();
    }

private slots:
    void init()
    {
        m_settings = std::make_unique<QSettings>(m_dir.filePath(QStringLiteral("settings.ini")),
                                                 QSettings::IniFormat);
        m_settings->clear();
        m_site = PropagationSite();
        m_now = QDateTime(QDate(2024, 6, 21), QTime(12, 30, 17), Qt::UTC);
    }

    void settingsLoadClampedWithoutWriteBack_data()
    {
        QTest::addColumn<QVariantList>("stored"); // low, high, lat, lon, has DX; null = absent
        QTest::addColumn<QList<double>>("shown");
        QTest::addColumn<bool>("dx");
        QTest::newRow("absent: defaults")
            << QVariantList{{}, {}, {}, {}, {}} << QList<double>{-6.0, 3.0, 0.0, 0.0} << false;
        QTest::newRow("in range") << QVariantList{-12.5, 6.0, -33.865, 151.209, true}
                                  << QList<double>{-12.5, 6.0, -33.865, 151.209} << true;
        QTest::newRow("out of range: clamped") << QVariantList{-30.0, 20.0, 95.0, -200.0, true}
                                               << QList<double>{-18.0, 12.0, 90.0, -180.0} << true;
        QTest::newRow("unreadable: 0") << QVariantList{"low", "x", "north", "1e", {}}
                                       << QList<double>{0.0, 0.0, 0.0, 0.0} << false;
    }

    void settingsLoadClampedWithoutWriteBack()
    {
        QFETCH(QVariantList, stored);
        QFETCH(QList<double>, shown);
        QFETCH(bool, dx);
        const QList<const char *> keys = {SettingsKeys::greylineLow, SettingsKeys::greylineHigh,
                                          SettingsKeys::greylineDxLat, SettingsKeys::greylineDxLon,
                                          SettingsKeys::greylineHasDx};
        for (int i = 0; i < keys.size(); ++i) {
            if (!stored[i].isNull())
                m_settings->setValue(QLatin1String(keys[i]), stored[i]);
        }
        const auto panel = makePanel();
        QCOMPARE(child<QDoubleSpinBox>(*panel, "greylineLow")->value(), shown[0]);
        QCOMPARE(child<QDoubleSpinBox>(*panel, "greylineHigh")->value(), shown[1]);
        QCOMPARE(child<QDoubleSpinBox>(*panel, "greylineDxLatitude")->value(), shown[2]);
        QCOMPARE(child<QDoubleSpinBox>(*panel, "greylineDxLongitude")->value(), shown[3]);
        QCOMPARE(child<QCheckBox>(*panel, "greylineDx")->isChecked(), dx);
        // Nothing was written back: absent keys stay absent, odd values stay as they were.
        for (int i = 0; i < keys.size(); ++i)
            QCOMPARE(m_settings->value(QLatin1String(keys[i])), stored[i]);
        QCOMPARE(child<QDoubleSpinBox>(*panel, "greylineDxLatitude")->isEnabled(), dx);
    }

    // Live UTC shows the UTC date even where the local date differs or local midnight does
    // not exist.
    void liveShowsTheUtcDateAndMinute_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::newRow("no local midnight in Sao Paulo")
            << QDateTime(QDate(2018, 11, 4), QTime(2, 30, 59), Qt::UTC);
        QTest::newRow("a day ahead in Kiritimati")
            << QDateTime(QDate(2024, 6, 21), QTime(12, 5), Qt::UTC);
        QTest::newRow("last minute of a leap day")
            << QDateTime(QDate(2024, 2, 29), QTime(23, 59, 30), Qt::UTC);
    }

    void liveShowsTheUtcDateAndMinute()
    {
        QFETCH(QDateTime, now);
        m_now = now;
        const auto panel = makePanel();
        auto *date = child<QDateEdit>(*panel, "greylineDate");
        auto *time = child<QTimeEdit>(*panel, "greylineTime");
        QVERIFY(child<QCheckBox>(*panel, "greylineLive")->isChecked());
        QCOMPARE(date->date(), now.date());
        QCOMPARE(time->time(), QTime(now.time().hour(), now.time().minute()));
        QCOMPARE(date->dateTime().timeSpec(), Qt::UTC);
        QCOMPARE(child<QSlider>(*panel, "greylineSlider")->value(),
                 now.time().hour() * 60 + now.time().minute());
        QVERIFY(!date->isEnabled() && !time->isEnabled());
    }

    void defaultClockIsCurrentUtc()
    {
        GreyPanel panel(
            *m_settings, [] { return PropagationSite(); }, false);
        const QDateTime now = QDateTime::currentDateTimeUtc();
        const QDateTime shown(child<QDateEdit>(panel, "greylineDate")->date(),
                              child<QTimeEdit>(panel, "greylineTime")->time(), Qt::UTC);
        QVERIFY(shown.secsTo(now) >= 0 && shown.secsTo(now) < 120);
    }

    void simulatedDateInALocalDaylightSavingGap()
    {
        const auto panel = makePanel();
        child<QCheckBox>(*panel, "greylineLive")->setChecked(false);
        auto *date = child<QDateEdit>(*panel, "greylineDate");
        QVERIFY(date->isEnabled());
        date->setDate(QDate(2018, 11, 4));
        QCOMPARE(date->date(), QDate(2018, 11, 4));
        date->setDate(QDate(1900, 1, 1));
        QCOMPARE(date->date(), QDate(1900, 1, 1));
        date->setDate(QDate(2101, 1, 1));
        QCOMPARE(date->date(), QDate(2100, 12, 31));
    }

    void sliderLeavesLiveModeAndNowReturns()
    {
        const auto panel = makePanel();
        auto *live = child<QCheckBox>(*panel, "greylineLive");
        auto *slider = child<QSlider>(*panel, "greylineSlider");
        auto *time = child<QTimeEdit>(*panel, "greylineTime");
        slider->setValue(1439);
        QVERIFY(!live->isChecked());
        QCOMPARE(time->time(), QTime(23, 59));
        QVERIFY(time->isEnabled() && child<QDateEdit>(*panel, "greylineDate")->isEnabled());
        // The time edit moves the slider.
        time->setTime(QTime(6, 15));
        QCOMPARE(slider->value(), 375);
        QVERIFY(!live->isChecked());
        // "Now" returns to the clock and to live mode.
        child<QPushButton>(*panel, "greylineNow")->click();
        QVERIFY(live->isChecked());
        QCOMPARE(time->time(), QTime(12, 30));
        QCOMPARE(slider->value(), 750);
        QVERIFY(!time->isEnabled());
        // Unchecking live keeps the minute; checking it again catches up with the clock.
        live->setChecked(false);
        slider->setValue(0);
        m_now = m_now.addSecs(3600);
        live->setChecked(true);
        QCOMPARE(time->time(), QTime(13, 30));
    }

    // The timer does nothing while the page is hidden; visible, it follows the minute.
    void liveTimerOnlyWhileVisible()
    {
        const auto panel = makePanel();
        auto *timer = panel->findChild<QTimer *>();
        QVERIFY(timer && timer->isActive());
        QCOMPARE(timer->interval(), 1000);
        auto *time = child<QTimeEdit>(*panel, "greylineTime");
        m_now = m_now.addSecs(60);
        QMetaObject::invokeMethod(timer, "timeout");
        QCOMPARE(time->time(), QTime(12, 30));
        panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(panel.get()));
        const int plans = panel->planCount();
        QMetaObject::invokeMethod(timer, "timeout");
        QCOMPARE(time->time(), QTime(12, 31));
        // Same minute: nothing to do.
        m_now = m_now.addSecs(20);
        QMetaObject::invokeMethod(timer, "timeout");
        QCOMPARE(time->time(), QTime(12, 31));
        QCOMPARE(panel->planCount(), plans);
        // Past midnight the date moves too, and the day is planned again.
        m_now = QDateTime(QDate(2024, 6, 22), QTime(0, 0, 1), Qt::UTC);
        QMetaObject::invokeMethod(timer, "timeout");
        QCOMPARE(child<QDateEdit>(*panel, "greylineDate")->date(), QDate(2024, 6, 22));
        QCOMPARE(panel->planCount(), plans + 1);
        // Simulated mode ignores the clock.
        child<QCheckBox>(*panel, "greylineLive")->setChecked(false);
        m_now = m_now.addSecs(600);
        QMetaObject::invokeMethod(timer, "timeout");
        QCOMPARE(time->time(), QTime(0, 0));
    }

    void pageFollowsPropagationAndSyncsWhenShown()
    {
        QTabWidget tabs;
        for (const char *name : {"Main", "Propagation", "Settings"}) {
            auto *page = new QWidget;
            page->setObjectName(QString::fromLatin1(name));
            tabs.addTab(page, QString::fromLatin1(name));
        }
        GreyPanel *panel = GreyPanel::addPage(
            tabs, *m_settings, [this] { return m_site; }, false);
        panel->setClock([this] { return m_now; });
        auto *scroll = qobject_cast<QScrollArea *>(tabs.widget(2));
        QVERIFY(scroll);
        QCOMPARE(scroll->objectName(), QStringLiteral("Greyline"));
        QCOMPARE(tabs.tabText(2), QStringLiteral("Greyline"));
        QCOMPARE(scroll->widget(), panel);
        QVERIFY(scroll->widgetResizable());
        QCOMPARE(scroll->frameShape(), QFrame::NoFrame);
        tabs.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tabs));
        m_now = QDateTime(QDate(2030, 1, 2), QTime(3, 4), Qt::UTC);
        m_site = rome();
        tabs.setCurrentIndex(2);
        QCOMPARE(child<QDateEdit>(*panel, "greylineDate")->date(), QDate(2030, 1, 2));
        QCOMPARE(child<QTimeEdit>(*panel, "greylineTime")->time(), QTime(3, 4));
        // The location is read afresh.
        QVERIFY(label(*panel, "greylineStatus").startsWith(QStringLiteral("RX Site (41.9")));
    }

    void mapClicksPickTheDxPoint()
    {
        const auto panel = makePanel();
        panel->resize(1160, 900);
        panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(panel.get()));
        auto *map = child<GreyMap>(*panel, "greylineMap");
        const QRectF rect = map->mapRect();
        QVERIFY(rect.width() > 0);
        auto *dx = child<QCheckBox>(*panel, "greylineDx");
        auto *latitude = child<QDoubleSpinBox>(*panel, "greylineDxLatitude");
        auto *longitude = child<QDoubleSpinBox>(*panel, "greylineDxLongitude");
        const QPoint tokyo = mapPoint(rect, 35.68, 139.69).toPoint();
        // The right button and points beside the map change nothing.
        QTest::mouseClick(map, Qt::RightButton, {}, tokyo);
        QVERIFY(!dx->isChecked());
        if (rect.left() >= 2 || rect.top() >= 2) {
            const QPoint outside =
                rect.left() >= 2 ? QPoint(1, map->height() / 2) : QPoint(map->width() / 2, 1);
            QTest::mouseClick(map, Qt::LeftButton, {}, outside);
            QVERIFY(!dx->isChecked());
        }
        QVERIFY(!m_settings->contains(QLatin1String(SettingsKeys::greylineHasDx)));
        QTest::mouseClick(map, Qt::LeftButton, {}, tokyo);
        QVERIFY(dx->isChecked());
        const std::optional<Site> clicked = siteAt(rect, tokyo);
        QVERIFY(clicked);
        QCOMPARE(latitude->value(), std::round(clicked->latitude * 1000.0) / 1000.0);
        QCOMPARE(longitude->value(), std::round(clicked->longitude * 1000.0) / 1000.0);
        QVERIFY(std::abs(latitude->value() - 35.68) < 0.5);
        QVERIFY(std::abs(longitude->value() - 139.69) < 0.5);
        QVERIFY(latitude->isEnabled());
        QCOMPARE(m_settings->value(QLatin1String(SettingsKeys::greylineHasDx)).toBool(), true);
        QCOMPARE(m_settings->value(QLatin1String(SettingsKeys::greylineDxLat)).toDouble(),
                 latitude->value());
        QCOMPARE(m_settings->value(QLatin1String(SettingsKeys::greylineDxLon)).toDouble(),
                 longitude->value());
        QVERIFY(dx->text().startsWith(QStringLiteral("DX | h = ")));
        QVERIFY(label(*panel, "greylineDxWindows").contains(QStringLiteral(" \u2013 ")));
    }

    void textsInBothLanguages_data()
    {
        QTest::addColumn<bool>("italian");
        QTest::addColumn<QStringList>("texts"); // status, RX, DX, DX caption, legend start
        QTest::newRow("English") << false
                                 << QStringList{"RX not configured (Settings)",
                                                "Set RX coordinates first",
                                                "Select a DX point on the map", "DX target",
                                                "Day / shaded night  |  Amber: Greyline"};
        QTest::newRow("Italian") << true
                                 << QStringList{"RX non configurato (Impostazioni)",
                                                "Imposta prima le coordinate RX",
                                                "Seleziona un punto DX sulla mappa",
                                                "Localit\u00e0 DX",
                                                "Giorno / notte in ombra  |  Ambra: Greyline"};
    }

    void textsInBothLanguages()
    {
        QFETCH(bool, italian);
        QFETCH(QStringList, texts);
        const auto panel = makePanel(italian);
        QCOMPARE(label(*panel, "greylineStatus"), texts[0]);
        QCOMPARE(label(*panel, "greylineRxWindows"), texts[1]);
        QCOMPARE(label(*panel, "greylineDxWindows"), texts[2]);
        QCOMPARE(child<QCheckBox>(*panel, "greylineDx")->text(), texts[3]);
        QCOMPARE(label(*panel, "greylineBothWindows"), emDash);
        QCOMPARE(label(*panel, "greylineBestOverlap"), emDash);
        QVERIFY(label(*panel, "greylineLegend").startsWith(texts[4]));
        QCOMPARE(child<GreyMap>(*panel, "greylineMap")->toolTip(), label(*panel, "greylineLegend"));
        // A named site, then an unnamed one.
        m_site = rome(QStringLiteral("Roma"));
        panel->recomputeGreyline();
        const SunPosition sun = sunPosition(dayZero(QDate(2024, 6, 21)), 750.0);
        QCOMPARE(label(*panel, "greylineStatus"),
                 QStringLiteral("RX Roma (41.9\u00b0, 12.5\u00b0)  |  h = %1\u00b0")
                     .arg(solarElevation(sun, 41.9, 12.5), 0, 'f', 1));
        m_site.name.clear();
        panel->recomputeGreyline();
        QVERIFY(label(*panel, "greylineStatus")
                    .startsWith(italian ? QStringLiteral("RX Stazione (")
                                        : QStringLiteral("RX Site (")));
        const GreylinePlan plan =
            planGreylineDay(dayZero(QDate(2024, 6, 21)), {41.9, 12.5}, true, {}, false, -6, 3);
        QCOMPARE(label(*panel, "greylineRxWindows"), formatWindows(plan.rxWindows, italian));
        // Half a location is no location.
        m_site.longitudeValid = false;
        panel->recomputeGreyline();
        QCOMPARE(label(*panel, "greylineStatus"), texts[0]);
    }

    void bestOverlapAndPlanCache()
    {
        m_site = rome();
        m_settings->setValue(QLatin1String(SettingsKeys::greylineHasDx), true);
        m_settings->setValue(QLatin1String(SettingsKeys::greylineDxLat), -41.3);
        m_settings->setValue(QLatin1String(SettingsKeys::greylineDxLon), 174.8);
        const auto panel = makePanel();
        const GreylinePlan plan = planGreylineDay(dayZero(QDate(2024, 6, 21)), {41.9, 12.5}, true,
                                                  {-41.3, 174.8}, true, -6, 3);
        QVERIFY(plan.bestMinute >= 0);
        QCOMPARE(label(*panel, "greylineBestOverlap"),
                 formatMinute(plan.bestMinute) +
                     QStringLiteral(" UTC   |   G = %1 / 1").arg(plan.bestScore, 0, 'f', 3));
        QCOMPARE(label(*panel, "greylineBothWindows"), formatWindows(plan.bothWindows, false));
        // Scrubbing through the day reuses the plan; the band does not.
        const int plans = panel->planCount();
        auto *slider = child<QSlider>(*panel, "greylineSlider");
        for (int minute : {0, 300, 1439})
            slider->setValue(minute);
        QCOMPARE(panel->planCount(), plans);
        child<QDoubleSpinBox>(*panel, "greylineHigh")->setValue(0.0);
        QCOMPARE(panel->planCount(), plans + 1);
        QCOMPARE(m_settings->value(QLatin1String(SettingsKeys::greylineHigh)).toDouble(), 0.0);
        child<QDoubleSpinBox>(*panel, "greylineLow")->setValue(0.0);
        QCOMPARE(label(*panel, "greylineRxWindows"), QStringLiteral("None on this UTC date"));
        QCOMPARE(label(*panel, "greylineBestOverlap"), emDash);
        // Turning DX off clears the lists that need it.
        child<QCheckBox>(*panel, "greylineDx")->setChecked(false);
        QCOMPARE(label(*panel, "greylineBothWindows"), emDash);
        QVERIFY(!child<QDoubleSpinBox>(*panel, "greylineDxLatitude")->isEnabled());
        QCOMPARE(m_settings->value(QLatin1String(SettingsKeys::greylineHasDx)).toBool(), false);
    }

    void withoutTheMapThePlannerStillWorks()
    {
        m_site = rome();
        const auto panel = makePanel(false, m_dir.filePath(QStringLiteral("absent.png")));
        auto *map = child<GreyMap>(*panel, "greylineMap");
        QVERIFY(map->shadedImage().isNull());
        QVERIFY(label(*panel, "greylineStatus").startsWith(QStringLiteral("RX Site (")));
        QVERIFY(label(*panel, "greylineRxWindows").contains(QStringLiteral(" \u2013 ")));
        map->resize(400, 200);
        const QImage shot = map->grab().toImage();
        // Only the dark background and the white message.
        QCOMPARE(shot.pixelColor(5, 5), QColor(12, 17, 28));
        bool white = false;
        for (int y = 0; y < shot.height() && !white; ++y) {
            for (int x = 0; x < shot.width() && !white; ++x)
                white = shot.pixelColor(x, y).lightness() > 200;
        }
        QVERIFY(white);
    }
};

QTEST_MAIN(TestGreyPanel)
#include "tst_greypanel.moc"
