#include "TableRows.h"
#include "core/PreferencesStore.h"
#include "core/Watch.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

namespace {

// Steps, space-separated: "set=N" (the interval set by the user), "toggle" and "reset" (the two
// double-clicks), "tick" (the minute timer fires a minute after the last), "sleep=N" (N minutes
// pass with no tick), "wake" (the machine woke).
const struct
{
    const char *name, *script;
    int count;
    bool on;
    int due, interval;
} kRows[] = {
    {"off at start", "", 0, false, 0, 10},
    {"setting the interval switches it on", "set=10", 0, true, 0, 10},
    {"a second setting keeps it on", "set=10 set=12", 0, true, 0, 12},
    {"below the bounds", "set=0", 0, true, 0, 1},
    {"above the bounds", "set=500", 0, true, 0, 180},
    {"counting", "set=10 tick tick tick", 3, true, 0, 10},
    {"interval 1: every tick", "set=1 tick tick tick", 0, true, 3, 1},
    {"interval 3 reached", "set=3 tick tick tick", 0, true, 1, 3},
    {"one short of interval 3", "set=3 tick tick", 2, true, 0, 3},
    {"interval lowered below the count", "set=10 tick tick tick tick set=2 tick", 0, true, 1, 2},
    {"toggle off resets", "set=10 tick tick toggle", 0, false, 0, 10},
    {"toggle twice from on", "set=10 tick tick toggle toggle", 0, true, 0, 10},
    {"toggle on counts", "toggle tick tick", 2, true, 0, 10},
    {"reset keeps the timer", "set=10 tick tick reset", 0, true, 0, 10},
    {"a late minute brings every minute passed", "set=5 sleep=2 tick", 3, true, 0, 5},
    {"a refresh due in a sleep runs at the late minute", "set=3 sleep=4 tick", 0, true, 1, 3},
    {"a wake refreshes at once", "set=3 tick wake", 0, true, 1, 3},
    {"a wake with the timer off counts nothing", "sleep=9 wake", 0, false, 0, 10},
    {"the timer switched on counts from then", "sleep=9 set=3 tick", 1, true, 0, 3},
};

} // namespace

class TestWatch : public QObject
{
    Q_OBJECT
private slots:
    void automaticRefresh_data() { addTableRows(kRows); }
    void automaticRefresh()
    {
        QFETCH(int, row);
        const auto& r = kRows[row];
        qint64 now = 1'000'000;
        Watch watch([&] { return now; });
        QSignalSpy shown(&watch, &Watch::minuteCountChanged);
        QSignalSpy due(&watch, &Watch::refreshDue);
        QSignalSpy interval(&watch, &Watch::intervalChanged);
        for (const QString& step :
             QString::fromLatin1(r.script).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QString key = step.section(QLatin1Char('='), 0, 0);
            const int value = step.section(QLatin1Char('='), 1).toInt();
            if (key == QLatin1String("set")) {
                watch.setInterval(value);
            } else if (key == QLatin1String("toggle")) {
                watch.toggleTimer();
            } else if (key == QLatin1String("reset")) {
                watch.resetMinuteCount();
            } else if (key == QLatin1String("tick")) {
                now += 60000;
                watch.countMinute();
            } else if (key == QLatin1String("sleep")) {
                now += value * 60000;
            } else {
                watch.wake();
            }
        }
        QCOMPARE(watch.minuteCount(), r.count);
        QVERIFY(shown.isEmpty() || shown.last().at(0).toInt() == r.count); // the label follows
        QCOMPARE(watch.timerOn(), r.on);
        QCOMPARE(int(due.size()), r.due);
        QCOMPARE(watch.interval(), r.interval);
        QCOMPARE(interval.isEmpty() ? 10 : interval.last().at(0).toInt(), r.interval); // the box follows
        // The minute timer runs exactly while the watch says it is on, and pages are watched then.
        QCOMPARE(watch.findChild<QTimer*>(QStringLiteral("refreshTimer"))->isActive(), r.on);
        QCOMPARE(watch.watched(), r.on);
        QCOMPARE(watch.runningInterval(), r.on ? r.interval : 0);
    }

    void nextRefreshAndWallDisplay()
    {
        Watch watch([] { return qint64(1); });
        QCOMPARE(watch.msToNextRefresh(), -1);
        QVERIFY(!watch.watched());
        watch.setAlwaysWatched(true); // a wall display watches with the timer off
        QVERIFY(watch.watched());
        watch.setInterval(3);
        watch.countMinute();
        // One minute counted of three: the timer's minute under way and one more.
        QVERIFY(watch.msToNextRefresh() > 60000 && watch.msToNextRefresh() <= 120000);

        // Asleep nothing is watched, counted or due, not even after the machine's own sleep; awake
        // the minutes count from naught.
        QSignalSpy due(&watch, &Watch::refreshDue);
        watch.setAsleep(true);
        watch.wake();
        watch.setInterval(4);
        QVERIFY(!watch.watched());
        QCOMPARE(watch.msToNextRefresh(), -1);
        QCOMPARE(watch.findChild<QTimer*>(QStringLiteral("refreshTimer"))->isActive(), false);
        watch.setAsleep(false);
        QCOMPARE(due.count(), 0);
        QCOMPARE(watch.minuteCount(), 0);
        QVERIFY(watch.watched() && watch.msToNextRefresh() > 180000);
    }

    // Each change of an address's settings is saved at once; an address that keeps nothing has no entry.
    void siteSettings()
    {
        QTemporaryDir dir;
        const PreferencesStore store(dir.filePath(QStringLiteral("Skyvane.conf")));
        Preferences preferences;
        Watch watch([] { return qint64(1); }, &preferences, &store);
        QSignalSpy changed(&watch, &Watch::siteSettingsChanged);
        const QString radar = QStringLiteral("http://radar/");
        watch.changeSiteSettings(radar, [](Preferences::Area& a) { a.rect = QRectF(10, 20, 300, 200); });
        QCOMPARE(store.load().areas, preferences.areas);
        QCOMPARE(watch.siteSettings(radar)->rect, QRectF(10, 20, 300, 200));
        watch.changeSiteSettings(radar, [](Preferences::Area& a) {
            a.alertBox = QRectF(0.1, 0.1, 0.2, 0.2);
            a.alertLevel = QStringLiteral("severe");
        });
        QCOMPARE(store.load().areas.value(0).alertLevel, QStringLiteral("severe"));
        watch.changeSiteSettings(radar, [](Preferences::Area& a) { a.rect = a.alertBox = QRectF(); });
        QVERIFY(watch.siteSettings(radar) == nullptr && store.load().areas.isEmpty());
        QCOMPARE(changed.size(), 3);
        QCOMPARE(changed.last().at(0).toString(), radar);
    }
};

QTEST_GUILESS_MAIN(TestWatch)
#include "tst_Watch.moc"
