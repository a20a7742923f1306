#include "core/ServiceStatus.h"

#include <QTest>

class TestServiceStatus : public QObject
{
    Q_OBJECT
private slots:
    void words()
    {
        const QDateTime checked(QDate(2026, 12, 9), QTime(15, 10), Qt::UTC);
        const QDateTime changed(QDate(2026, 12, 9), QTime(14, 20), Qt::UTC);
        const struct
        {
            QString state;
            QDateTime picture, changedAt, failure;
            int interval;
            const char* text;
            bool showing;
        } rows[] = {
            {"loading", {}, {}, {}, 10, "no picture yet, refreshing every 10 min", false},
            {"ok", checked, changed, {}, 10, "14:20 picture, refreshing every 10 min", true},
            {"ok", checked, {}, {}, 0, "15:10 picture, not refreshing", true},
            {"failed",
             {},
             {},
             checked,
             5,
             "no picture yet, refresh failed: The server answered 503, refreshing every 5 min",
             true},
            {"stalled",
             checked,
             changed,
             {},
             1,
             "14:20 picture, the site's feed stalled, refreshing every 1 min",
             true},
        };
        for (const auto& r : rows) {
            RemoteReport report;
            report.state = r.state;
            report.pictureTime = r.picture;
            report.changedTime = r.changedAt;
            report.lastFailureTime = r.failure;
            report.lastFailureReason = QStringLiteral("The server answered 503");
            report.intervalMinutes = r.interval;
            QCOMPARE(ServiceStatus::text(
                         report, [](const QDateTime& t) { return t.toString(QStringLiteral("HH:mm")); }),
                     QString::fromLatin1(r.text));
            QCOMPARE(ServiceStatus::showing(report), r.showing);
        }
    }
};

QTEST_GUILESS_MAIN(TestServiceStatus)
#include "tst_ServiceStatus.moc"
