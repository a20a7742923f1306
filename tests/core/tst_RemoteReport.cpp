#include "core/RemoteReport.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

// The three forms the remote view tells the window in.
class TestRemoteReport : public QObject
{
    Q_OBJECT

    static RemoteReport sample()
    {
        RemoteReport r;
        r.address = QStringLiteral("https://radar.example/loop?a=1&b=2");
        r.title = QStringLiteral("</title><script>alert(1)</script>");
        r.pictureTime = QDateTime(QDate(2026, 7, 1), QTime(14, 20, 5), Qt::UTC);
        r.ageSeconds = 125;
        r.changedTime = QDateTime(QDate(2026, 7, 1), QTime(13, 50), Qt::UTC);
        r.changedAgeSeconds = 1925;
        r.intervalMinutes = 10;
        r.state = QStringLiteral("failed");
        r.lastFailureTime = QDateTime(QDate(2026, 7, 1), QTime(14, 30), Qt::UTC);
        r.lastFailureReason = QStringLiteral("The server answered 503");
        r.alertLevel = QStringLiteral("heavy");
        r.alertSince = r.pictureTime;
        r.framesKept = 7;
        r.refreshesOk = 12;
        r.refreshesFailed = 3;
        return r;
    }

private slots:
    void statusDocument()
    {
        const QJsonObject o = QJsonDocument::fromJson(sample().statusJson()).object();
        QCOMPARE(o.value(QLatin1String("pictureTime")).toString(), QStringLiteral("2026-07-01T14:20:05Z"));
        QCOMPARE(o.value(QLatin1String("ageSeconds")).toInt(), 125);
        QCOMPARE(o.value(QLatin1String("changedTime")).toString(), QStringLiteral("2026-07-01T13:50:00Z"));
        QCOMPARE(o.value(QLatin1String("changedAgeSeconds")).toInt(), 1925);
        QCOMPARE(o.value(QLatin1String("nextRefresh")).type(), QJsonValue::Null); // none due
        QCOMPARE(o.value(QLatin1String("lastFailure")).toObject().value(QLatin1String("reason")).toString(),
                 QStringLiteral("The server answered 503"));
        QCOMPARE(o.value(QLatin1String("alert")).toObject().value(QLatin1String("level")).toString(),
                 QStringLiteral("heavy"));
        QCOMPARE(QJsonDocument::fromJson(RemoteReport().statusJson())
                     .object()
                     .value(QLatin1String("alert"))
                     .type(),
                 QJsonValue::Null);
    }

    void metricsText()
    {
        const QByteArray m = sample().metrics();
        for (const char* line :
             {"skyvane_picture_age_seconds 125\n", "skyvane_refreshes_total{result=\"ok\"} 12\n",
              "skyvane_refreshes_total{result=\"failed\"} 3\n", "skyvane_alert_active 1\n",
              "skyvane_frames_kept 7\n", "# TYPE skyvane_refreshes_total counter\n",
              "skyvane_picture_changed_age_seconds 1925\n", "skyvane_picture_stalled 0\n"}) {
            QVERIFY2(m.contains(line), line);
        }
        QVERIFY(RemoteReport().metrics().contains("skyvane_picture_age_seconds NaN\n")); // no picture yet
    }

    void phonePage()
    {
        const QByteArray page = sample().phonePage(QStringLiteral("abc"));
        QVERIFY(!page.contains("<script>alert")); // the page's title is the page's, not ours to run
        QVERIFY(page.contains("&lt;/title&gt;&lt;script&gt;"));
        QVERIFY(page.contains("loop?a=1&amp;b=2"));
        QVERIFY(page.contains("<video src='/loop.mp4?token=abc'")); // frames are kept: their loop plays
        RemoteReport none = sample();
        none.framesKept = 0;
        QVERIFY(
            none.phonePage(QStringLiteral("abc")).contains("<img id=p alt='' src='/picture.png?token=abc'>"));
        QVERIFY(page.contains("Storm alert (heavy)"));
        QVERIFY(page.contains("32 minutes old")); // the age of the site's own picture
        const QString changed = sample().changedTime.toLocalTime().toString(QStringLiteral("ddd HH:mm"));
        const QString checked = sample().pictureTime.toLocalTime().toString(QStringLiteral("HH:mm"));
        QVERIFY(page.contains(QStringLiteral("new picture %1, checked %2").arg(changed, checked).toUtf8()));
        QVERIFY(!page.contains("http://") && !page.contains("//cdn")); // nothing from outside
        for (const auto& [seconds, words] :
             std::initializer_list<std::pair<qint64, const char*>>{{-1, "no picture yet"},
                                                                   {59, "just now"},
                                                                   {60, "1 minute old"},
                                                                   {3600, "1 hour old"},
                                                                   {7500, "2 hours 5 minutes old"}}) {
            QCOMPARE(RemoteReport::ageInWords(seconds), QLatin1String(words));
        }
    }
};

QTEST_GUILESS_MAIN(TestRemoteReport)
#include "tst_RemoteReport.moc"
