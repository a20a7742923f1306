#include "TestMain.h"
#include "platform/HttpEndpoint.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTimer>

namespace {

const QByteArray kToken(64, 'c');

// The window as the endpoint sees it, with what it was asked to do.
struct FakeSource : RemoteSource
{
    RemoteReport report() const override
    {
        RemoteReport r;
        r.address = QStringLiteral("http://radar.test/");
        r.ageSeconds = 12;
        r.state = QStringLiteral("ok");
        return r;
    }
    QByteArray picturePng() const override { return png; }
    void loop(std::function<void(const QByteArray&)> done) override
    {
        QTimer::singleShot(300, [done] { done("RIFF-loop"); }); // made elsewhere, ready later
    }
    void refresh() override { ++refreshes; }
    void next() override { ++nexts; }
    QString open(const QString& address) override
    {
        opened << address;
        return address.startsWith(QLatin1String("http")) ? QString() : QStringLiteral("no web address");
    }

    QByteArray png;
    int refreshes = 0, nexts = 0;
    QStringList opened;
};

} // namespace

// The remote view over a real socket, read by a real client.
class TestHttpEndpoint : public QObject
{
    Q_OBJECT

    FakeSource source;
    HttpEndpoint endpoint{kToken, 1500};
    QNetworkAccessManager client;

    QUrl at(const QString& path) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(endpoint.port()).arg(path));
    }

    // Status and body of a request; a reply that never ends fails the test.
    std::pair<int, QByteArray> ask(const QByteArray& method, const QString& path, const QByteArray& body = {},
                                   bool token = false, QNetworkReply** kept = nullptr)
    {
        QNetworkRequest request(at(path));
        request.setHeader(QNetworkRequest::ContentTypeHeader, "application/x-www-form-urlencoded");
        if (token) {
            request.setRawHeader("Authorization", "Bearer " + kToken);
        }
        QNetworkReply* reply = client.sendCustomRequest(request, method, body);
        QSignalSpy finished(reply, &QNetworkReply::finished);
        if (!reply->isFinished() && !finished.wait(10000)) {
            return {-1, {}};
        }
        reply->deleteLater();
        if (kept != nullptr) {
            *kept = reply;
        }
        return {reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll()};
    }

private slots:
    void initTestCase()
    {
        QString why;
        QVERIFY2(endpoint.listen(QStringLiteral("127.0.0.1"), 0, &why), qPrintable(why));
        QCOMPARE(ask("GET", QStringLiteral("/status.json")).first, 503); // the window is not there yet
        endpoint.setSource(&source);
    }

    void eachPath()
    {
        QCOMPARE(ask("GET", QStringLiteral("/picture.png")).first, 503); // no picture yet
        source.png = "\x89PNG-bytes";
        QCOMPARE(ask("GET", QStringLiteral("/picture.png")), std::make_pair(200, source.png));
        const auto [status, json] = ask("GET", QStringLiteral("/status.json"));
        QCOMPARE(status, 200);
        QCOMPARE(QJsonDocument::fromJson(json).object().value(QLatin1String("ageSeconds")).toInt(), 12);
        QVERIFY(ask("GET", QStringLiteral("/metrics")).second.contains("skyvane_picture_age_seconds 12\n"));
        QVERIFY(ask("GET", QStringLiteral("/")).second.contains("http://radar.test/"));
        QCOMPARE(ask("GET", QStringLiteral("/loop.webp")), std::make_pair(200, QByteArray("RIFF-loop")));

        QCOMPARE(ask("POST", QStringLiteral("/refresh")).first, 401);
        QCOMPARE(source.refreshes, 0);
        QCOMPARE(ask("POST", QStringLiteral("/refresh"), {}, true).first, 202);
        QCOMPARE(ask("POST", QStringLiteral("/next?token=") + QLatin1String(kToken)).first, 202);
        QCOMPARE(ask("POST", QStringLiteral("/open"), "address=https%3A%2F%2Fradar.test%2Fa+b", true).first,
                 202);
        QCOMPARE(ask("POST", QStringLiteral("/open"), "address=file%3A%2F%2F%2Fetc", true).first, 400);
        QCOMPARE(source.refreshes, 1);
        QCOMPARE(source.nexts, 1);
        QCOMPARE(source.opened,
                 QStringList({QStringLiteral("https://radar.test/a b"), QStringLiteral("file:///etc")}));

        QNetworkReply* reply = nullptr;
        QCOMPARE(ask("DELETE", QStringLiteral("/status.json"), {}, false, &reply).first, 405);
        QCOMPARE(reply->rawHeader("Allow"), QByteArray("GET"));
        QCOMPARE(ask("GET", QStringLiteral("/../RemoteToken")).first, 404);
        QCOMPARE(ask("POST", QStringLiteral("/open"), QByteArray(9000, 'x'), true).first, 413);
        // Far too large: cut off with a 413 that a client still sending may not get to read.
        const int cut = ask("POST", QStringLiteral("/open"), QByteArray(3 << 20, 'x'), true).first;
        QVERIFY2(cut == 413 || cut == 0, qPrintable(QString::number(cut)));
        QCOMPARE(source.opened.size(), 2);
    }

    void manyClientsAtOnce()
    {
        QList<QNetworkReply*> replies;
        for (int i = 0; i < 50; ++i) {
            replies << client.get(QNetworkRequest(at(QStringLiteral("/status.json"))));
        }
        QTRY_VERIFY_WITH_TIMEOUT(
            std::all_of(replies.cbegin(), replies.cend(), [](auto* r) { return r->isFinished(); }), 20000);
        for (QNetworkReply* r : std::as_const(replies)) {
            QCOMPARE(r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
            r->deleteLater();
        }

        // Raw connections beyond the limit are turned away at once; idle ones are dropped.
        client.clearConnectionCache();
        QTRY_COMPARE(endpoint.openConnections(), 0);
        std::vector<std::unique_ptr<QTcpSocket>> sockets;
        for (int i = 0; i < RemoteRequest::MaxConnections + 8; ++i) {
            sockets.push_back(std::make_unique<QTcpSocket>());
            sockets.back()->connectToHost(QHostAddress::LocalHost, endpoint.port());
        }
        QTRY_COMPARE(endpoint.openConnections(), RemoteRequest::MaxConnections);
        QTRY_VERIFY(std::count_if(sockets.cbegin(), sockets.cend(),
                                  [](const auto& s) { return s->peek(12) == "HTTP/1.1 503"; }) == 8);
        QTRY_COMPARE_WITH_TIMEOUT(endpoint.openConnections(), 0, 5000);  // 1.5 s without a word each
        QCOMPARE(ask("GET", QStringLiteral("/status.json")).first, 200); // and the server goes on
    }

    void portInUse()
    {
        HttpEndpoint second(kToken);
        QString why;
        QVERIFY(!second.listen(QStringLiteral("127.0.0.1"), endpoint.port(), &why));
        QVERIFY2(why.contains(QString::number(endpoint.port())), qPrintable(why));
        QVERIFY(!second.listen(QStringLiteral("radar.example"), 8080, &why));
    }
};

SKYVANE_TEST_MAIN(TestHttpEndpoint)
#include "tst_HttpEndpoint.moc"
