#include "LoopbackServer.h"
#include "platform/PushSender.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

// The notices sent over HTTP to a server on this machine that records what it gets.
class TestPushSender : public QObject
{
    Q_OBJECT

    using Kind = Notifier::Kind;
    using Service = PushNotice::Service;
    LoopbackServer server;
    qint64 now = 0;

private slots:
    void initTestCase()
    {
        QVERIFY(server.start());
        server.setPage(QStringLiteral("/radar"), "{}");
        server.setPage(QStringLiteral("/hook"), "ok");
        server.setGenerator(QStringLiteral("/busy"), [] {
            return LoopbackServer::Response{"busy", "text/plain", "503 Service Unavailable"};
        });
    }

    // A storm alert to an ntfy topic (the picture attached) and to a webhook.
    void sends()
    {
        PushSender sender({{Service::Ntfy, server.url(QStringLiteral("/radar"))},
                           {Service::Webhook, server.url(QStringLiteral("/hook"))}},
                          [this] { return now; });
        RemoteReport report;
        report.address = QStringLiteral("https://radar.example/");
        report.state = QStringLiteral("ok");
        sender.setReport([report] { return report; });
        sender.notify({Kind::StormAlert, QStringLiteral("Storm alert"),
                       QStringLiteral("Storm colours since 14:20\nhttps://radar.example/"),
                       QStringLiteral("https://radar.example/"), "\x89PNG picture"});
        QTRY_COMPARE(
            server.requestCount(QStringLiteral("/radar")) + server.requestCount(QStringLiteral("/hook")), 2);
        const LoopbackServer::Request ntfy = server.lastRequest(QStringLiteral("/radar"));
        QCOMPARE(
            ntfy.method + '|' + ntfy.headers.value("title") + '|' + ntfy.headers.value("priority") + '|' +
                ntfy.headers.value("message") + '|' + ntfy.headers.value("filename") + '|' + ntfy.body,
            QByteArray("PUT|Storm alert|high|Storm colours since 14:20\\nhttps://radar.example/|alert.png|"
                       "\x89PNG picture"));
        const QJsonObject hook =
            QJsonDocument::fromJson(server.lastRequest(QStringLiteral("/hook")).body).object();
        QCOMPARE(hook.value(QLatin1String("kind")).toString() + hook.value(QLatin1String("state")).toString(),
                 QStringLiteral("storm-alertok"));
    }

    // A server that keeps answering 503 gets every try, and so does an address nobody listens on;
    // each is told once, and not again while it keeps failing.
    void failures()
    {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        const QUrl nobody(QStringLiteral("http://127.0.0.1:%1/").arg(closed.serverPort()));
        closed.close();
        PushSender sender(
            {{Service::Webhook, server.url(QStringLiteral("/busy"))}, {Service::Webhook, nobody}},
            [this] { return now; }, {10, 20});
        QSignalSpy failed(&sender, &PushSender::failed);
        for (int round = 1; round <= 2; ++round) {
            now += 2 * PushPace::KindGapMs;
            sender.notify({Kind::Failing, QStringLiteral("Failing"), QStringLiteral("503"), {}, {}});
            QTRY_COMPARE(server.requestCount(QStringLiteral("/busy")), 3 * round);
            QTest::qWait(200); // the tries of the address nobody listens on are over too
            QCOMPARE(failed.count(), 2);
        }
        const QString words = failed.at(0).at(0).toString() + failed.at(1).at(0).toString();
        QVERIFY(words.contains(QLatin1String("the server answered 503")) &&
                words.contains(QStringLiteral("127.0.0.1:%1 (3 tries)").arg(nobody.port())) &&
                !words.contains(QLatin1String("/busy"))); // the server only: a path may be a secret
    }
};

QTEST_GUILESS_MAIN(TestPushSender)
#include "tst_PushSender.moc"
