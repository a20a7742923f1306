#include "core/RefreshHealth.h"

#include <QTest>

// When failing refreshes are worth a notification, and what the counts say.
class TestRefreshHealth : public QObject
{
    Q_OBJECT
private slots:
    void notices()
    {
        constexpr qint64 min = 60 * 1000;
        const QDateTime wall = QDateTime(QDate(2026, 7, 1), QTime(14, 20)).toUTC();
        // Each step: a load at minute t (ok or failed), then what notice() says at minute t.
        struct Step
        {
            int minute;
            bool ok;
            const char* said;
        };
        RefreshHealth h;
        for (const Step& s : {
                 Step{0, true, ""},
                 Step{1, false, ""}, // failing since 14:21
                 Step{20, false, ""},
                 Step{30, false, ""},
                 Step{31, false, "Radar refresh failing since 14:21"},
                 Step{45, false, ""}, // said once
                 Step{50, true, "Radar refresh works again"},
                 Step{51, true, ""},
                 Step{52, false, ""},
                 Step{60, true, ""}, // a short failure is not told, nor its end
                 Step{90, true, ""},
             }) {
            h.judged(s.ok, s.ok ? QString() : QStringLiteral("HTTP 503"), s.minute * min,
                     wall.addSecs(s.minute * 60));
            QCOMPARE(h.notice(s.minute * min), QLatin1String(s.said));
        }
        QCOMPARE(h.okCount(), 5);
        QCOMPARE(h.failedCount(), 6);
        QCOMPARE(h.lastFailureReason(), QStringLiteral("HTTP 503"));
        QCOMPARE(h.lastFailureTime(), wall.addSecs(52 * 60));
    }

    void toldWithoutALoad()
    {
        // A load that hangs brings no judgement for a long time: the clock alone tells it.
        RefreshHealth h;
        h.judged(false, QStringLiteral("no connection"), 0, QDateTime::currentDateTimeUtc());
        QVERIFY(h.notice(29 * 60 * 1000).isEmpty());
        QVERIFY(h.notice(30 * 60 * 1000).startsWith(QLatin1String("Radar refresh failing since ")));
    }
};

QTEST_GUILESS_MAIN(TestRefreshHealth)
#include "tst_RefreshHealth.moc"
