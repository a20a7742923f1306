#include "core/SiteFeed.h"

#include <QSignalSpy>
#include <QTest>

namespace {

const QDateTime Start(QDate(2026, 12, 8), QTime(14, 0), Qt::UTC);
constexpr qint64 Minute = 60 * 1000;

QDateTime at(int minutes)
{
    return Start.addSecs(minutes * 60);
}

} // namespace

// What the comparisons of the loads tell of the site's own updates.
class TestSiteFeed : public QObject
{
    Q_OBJECT
private slots:
    // One site's loads in turn: the time of the change, its age and the stall, and what is said.
    void loadsInTurn()
    {
        const QString radar = QStringLiteral("https://radar.example/");
        const struct
        {
            const char* address;
            bool newPicture;
            int frameAt, checkedAt; // minutes after the start
            qint64 gapMinutes;      // the usual gap the frames tell; -1: not known
            int interval;
            int changedAt; // the time the picture is said to have changed
            bool stalled;
            int told; // stallChanged sent by this load
        } loads[] = {
            {"https://radar.example/", true, 0, 0, -1, 10, 0, false, 0},
            {"https://radar.example/", false, 0, 10, -1, 10, 0, false, 0},
            {"https://radar.example/", false, 0, 61, -1, 10, 0, true, 1}, // unknown cadence: past 6 intervals
            {"https://radar.example/", false, 0, 71, -1, 10, 0, true, 0}, // said once
            {"https://radar.example/", true, 72, 72, 6, 10, 72, false, 1},  // the next new picture ends it
            {"https://radar.example/", false, 72, 91, 6, 10, 72, false, 0}, // 19 min: under two intervals
            {"https://radar.example/", false, 72, 92, 6, 10, 72, true, 1},
            {"https://other.example/", false, 80, 93, 6, 10, 80, false, 1}, // another page: the stall ends
            {"https://other.example/", false, 80, 95, 24 * 60, 10, 80, false, 0}, // a daily chart
            {"https://other.example/", false, 80, 95, 6, 0, 80, false, 0},        // no timed refresh
        };
        SiteFeed feed;
        QSignalSpy told(&feed, &SiteFeed::stallChanged);
        for (const auto& l : loads) {
            told.clear();
            const QString address = QString::fromLatin1(l.address);
            feed.compared(address, l.newPicture, at(l.frameAt),
                          l.gapMinutes >= 0 ? std::optional(l.gapMinutes * Minute) : std::nullopt,
                          at(l.checkedAt), l.interval);
            QCOMPARE(feed.changedTime(address, at(l.checkedAt)), at(l.changedAt));
            QCOMPARE(feed.changedAgeMs(address, at(l.checkedAt), 30000),
                     (l.checkedAt - l.changedAt) * Minute + 30000);
            QCOMPARE(feed.stalled(address), l.stalled);
            QCOMPARE(told.size(), l.told);
        }
        // Of a page whose frames were never compared, or no longer are, the picture changed when it
        // was loaded.
        QCOMPARE(feed.changedTime(QStringLiteral("https://other.example/"), at(96)), at(80));
        feed.notCompared();
        QCOMPARE(feed.changedTime(QStringLiteral("https://other.example/"), at(96)), at(96));
        QCOMPARE(feed.changedTime(radar, at(100)), at(100));
        QCOMPARE(feed.changedAgeMs(radar, at(100), 5000), 5000);
        QCOMPARE(feed.changedAgeMs(radar, at(100), -1), -1);
        QVERIFY(!feed.stalled(radar));
    }

    void sentence()
    {
        QCOMPARE(SiteFeed::stallSentence(QStringLiteral("14:20"), 6 * Minute),
                 QStringLiteral(
                     "The site has shown the same picture since 14:20 (it usually changes every 6 min)"));
        QCOMPARE(SiteFeed::stallSentence(QStringLiteral("14:20"), std::nullopt),
                 QStringLiteral("The site has shown the same picture since 14:20"));
    }
};

QTEST_GUILESS_MAIN(TestSiteFeed)
#include "tst_SiteFeed.moc"
