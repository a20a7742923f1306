#include "core/WallHours.h"

#include <QTest>

// Awake within the hours or for ten minutes after a touch, looked at on the minute.
class TestWallHours : public QObject
{
    Q_OBJECT
private slots:
    void sleepsAndWakes()
    {
        QTime wall(22, 59, 30);
        qint64 mono = 1000;
        WallHours hours(
            *AwakeHours::parse(QStringLiteral("07:00-23:00")), [&wall] { return wall; },
            [&mono] { return mono; });
        enum Step
        {
            Check,
            Touch
        };
        const struct
        {
            Step step;
            int wallSeconds; // the wall clock moves on so far, the monotonic clock with it
            bool changed;
            bool asleep;
            int nextCheckMs;
        } rows[] = {
            {Check, 0, false, false, 30'200},     // 22:59:30, awake; the next look after 23:00
            {Check, 30, true, true, 60'200},      // 23:00:00
            {Touch, 60, true, false, 60'200},     // 23:01:00: a key, awake until 23:11
            {Touch, 30, false, false, 30'200},    // 23:01:30: another, until 23:11:30
            {Check, 570, false, false, 30'001},   // 23:11:00: the touch's last half minute
            {Check, 30, true, true, 30'200},      // 23:11:30: asleep again
            {Check, 28'020, false, true, 30'200}, // 06:58:30
            {Check, 90, true, false, 60'200},     // 07:00:00
        };
        for (const auto& r : rows) {
            wall = wall.addSecs(r.wallSeconds);
            mono += r.wallSeconds * 1000LL;
            const bool changed = r.step == Touch ? hours.touched() : hours.check();
            const QString at = wall.toString(QStringLiteral("HH:mm:ss"));
            QVERIFY2(changed == r.changed, qPrintable(at));
            QVERIFY2(hours.asleep() == r.asleep, qPrintable(at));
            QVERIFY2(hours.msToNextCheck() == r.nextCheckMs,
                     qPrintable(at + QString::number(hours.msToNextCheck())));
        }
        // The wall clock set back an hour (daylight saving time ends): the next look follows it.
        wall = QTime(6, 30);
        QVERIFY(hours.check());
        QVERIFY(hours.asleep());
    }
};

QTEST_GUILESS_MAIN(TestWallHours)
#include "tst_WallHours.moc"
