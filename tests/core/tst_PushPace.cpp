#include "core/PushPace.h"

#include <QTest>

// How often notices go to a phone, how often a send is tried, and when a failure is told.
class TestPushPace : public QObject
{
    Q_OBJECT
private slots:
    void paceAndTries()
    {
        using K = Notifier::Kind;
        const struct
        {
            qint64 at;
            K kind;
            bool sent;
        } rows[] = {
            {1000, K::StormAlert, true},   {1000, K::AllClear, true}, // another kind: its own minute
            {30000, K::StormAlert, false}, {60999, K::StormAlert, false}, {61000, K::StormAlert, true},
            {61000, K::AllClear, true},    {90000, K::Failing, true},     {100000, K::Back, true},
            {100000, K::Stalled, true},    {120000, K::Stalled, false},   {500000, K::Stalled, true},
        };
        qint64 now = 0;
        PushPace pace([&now] { return now; });
        for (const auto& row : rows) {
            now = row.at;
            QCOMPARE(pace.admit(row.kind), row.sent);
        }
        QCOMPARE((QList<int>{pace.retryAfterMs(1), pace.retryAfterMs(2), pace.retryAfterMs(3)}),
                 (QList<int>{5000, 20000, -1}));
        const QString a = QStringLiteral("https://ntfy.sh/a");
        QCOMPARE((QList<bool>{pace.failureToTell(a), pace.failureToTell(a),
                              pace.failureToTell(QStringLiteral("https://hook.example/"))}),
                 (QList<bool>{true, false, true}));
        pace.succeeded(a); // told again once a send has gone through
        QVERIFY(pace.failureToTell(a));
    }
};

QTEST_APPLESS_MAIN(TestPushPace)
#include "tst_PushPace.moc"
