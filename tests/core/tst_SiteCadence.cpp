#include "core/SiteCadence.h"

#include <QTest>

namespace {

constexpr qint64 Minute = 60 * 1000;

// Times the picture changed, as minutes after a start.
QList<QDateTime> changesAt(std::initializer_list<int> minutes)
{
    const QDateTime start(QDate(2026, 12, 8), QTime(14, 0), Qt::UTC);
    QList<QDateTime> times;
    for (const int m : minutes) {
        times.append(start.addSecs(m * 60));
    }
    return times;
}

} // namespace

class TestSiteCadence : public QObject
{
    Q_OBJECT
private slots:
    void usualGap()
    {
        const struct
        {
            QList<QDateTime> changes;
            qint64 gapMinutes; // -1: not known
        } rows[] = {
            {{}, -1},
            {changesAt({0}), -1},
            {changesAt({0, 6}), 6},
            {changesAt({12, 0, 6}), 6},         // in any order
            {changesAt({0, 5, 11, 17, 60}), 6}, // one long gap (an outage) does not move it
            {changesAt({0, 4, 10, 18}), 6},     // the middle one of three
            {changesAt({0, 4, 8, 14, 20}), 5},  // between the middle two of four
            {changesAt({0, 100, 106, 112, 118, 124, 130, 136, 142, 148, 154, 160, 166}), 6}, // the last 12
            {changesAt({0, 24 * 60, 48 * 60}), 24 * 60},                                     // a daily chart
            {changesAt({0, 6}) + QList<QDateTime>{QDateTime()}, 6}, // a time that is no time is passed over
        };
        for (const auto& r : rows) {
            const std::optional<qint64> gap = SiteCadence::usualGapMs(r.changes);
            QCOMPARE(gap ? *gap / Minute : -1, r.gapMinutes);
        }
    }

    void stall()
    {
        const struct
        {
            int sinceMinutes;
            qint64 gapMinutes; // -1: not known
            int interval;
            bool stalled;
        } rows[] = {
            {19, 6, 10, false},                                // within three gaps
            {19, 6, 5, true},                                  // past three gaps and two intervals
            {25, 6, 15, false},                                // past three gaps, but not two intervals yet
            {30, 6, 15, true},                                 // two intervals exactly
            {59, -1, 10, false},                               // no gap known: six intervals
            {61, -1, 10, true},  {6 * 60, 24 * 60, 10, false}, // a daily chart never stalls early
            {500, 6, 0, false},                                // no timed refresh: nothing to judge by
            {-5, 6, 10, false},                                // a clock set back
        };
        for (const auto& r : rows) {
            const std::optional<qint64> gap =
                r.gapMinutes < 0 ? std::nullopt : std::optional<qint64>(r.gapMinutes * Minute);
            QCOMPARE(SiteCadence::stalled(r.sinceMinutes * Minute, gap, r.interval), r.stalled);
        }
    }
};

QTEST_GUILESS_MAIN(TestSiteCadence)
#include "tst_SiteCadence.moc"
