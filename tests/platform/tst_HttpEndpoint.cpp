#include "TableRows.h"
#include "TestMain.h"
#include "platform/HttpEndpoint.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTimer>

#include <netinet/in.h>
#include <sys/socket.h>

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
    QByteArray picturePng() const override
    {
        ++pictures;
        return png;
    }
    void loop(const QString& suffix, std::function<void(const QByteArray&)> done) override
    {
        QTimer::singleShot(300,
                           [done, suffix] { done("loop." + suffix.toLatin1()); }); // made elsewhere, later
    }
    void refresh() override { ++refreshes; }
    void next() override { ++nexts; }
    QString open(const QString& address) override
    {
        opened << address;
        return address.startsWith(QLatin1String("http")) ? QString() : QStringLiteral("no web address");
    }

    QByteArray png;
    mutable int pictures = 0;
    int refreshes = 0, nexts = 0;
    QStringList opened;
};

// A client on a bare socket, with all it was sent.
struct RawClient
{
    // smallWindow: the system takes in little for it, so what it does not read waits at the server.
    explicit RawClient(quint16 port, const QByteArray& request = {}, bool smallWindow = false)
    {
        QObject::connect(&socket, &QTcpSocket::readyRead, [this] {
            if (!holding) {
                got += socket.readAll();
            }
        });
        if (smallWindow) {
            const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
            const int size = 4096;
            sockaddr_in at{};
            at.sin_family = AF_INET;
            at.sin_port = htons(port);
            at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            if (::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size) != 0 ||
                ::connect(fd, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 ||
                !socket.setSocketDescriptor(fd)) {
                ::close(fd);
            }
            socket.setReadBufferSize(1024); // and reads nothing for now
            holding = true;
        } else {
            socket.connectToHost(QHostAddress::LocalHost, port);
        }
        socket.write(request);
    }
    QByteArrayList statusLines() const
    {
        QByteArrayList lines;
        for (qsizetype at = got.indexOf("HTTP/1.1 "); at >= 0; at = got.indexOf("HTTP/1.1 ", at + 1)) {
            lines << got.mid(at, 12);
        }
        return lines;
    }
    bool closed() const { return socket.state() == QAbstractSocket::UnconnectedState; }

    QTcpSocket socket;
    QByteArray got;
    bool holding = false;
};

const QByteArray kStatus = "GET /status.json HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";

struct Fault
{
    const char* name;
    QByteArray request;
    bool halfClose; // the client ends its side once the request is out
    QByteArrayList answers;
    bool closed;
};

const Fault kFaults[] = {
    {"pipelined", kStatus + "GET /metrics HTTP/1.1\r\n\r\n", false, {"HTTP/1.1 200", "HTTP/1.1 200"}, false},
    {"connection: close",
     "GET /status.json HTTP/1.1\r\nConnection: Close\r\n\r\n" + kStatus,
     false,
     {"HTTP/1.1 200"},
     true},
    {"HTTP/1.0", "GET /status.json HTTP/1.0\r\n\r\n" + kStatus, false, {"HTTP/1.1 200"}, true},
    {"half-closed", kStatus, true, {"HTTP/1.1 200"}, true},
    {"bearer in lower case",
     "POST /refresh HTTP/1.1\r\nHost: radar.lan\r\nContent-Length: 0\r\nAuthorization: bearer " + kToken +
         "\r\n\r\n" + kStatus,
     false,
     {"HTTP/1.1 202", "HTTP/1.1 200"},
     false},
    {"garbage", "HELLO THERE\r\n\r\n" + kStatus, false, {"HTTP/1.1 400"}, true},
    {"binary garbage", "\x16\x03\x01\x02\x00\x01", false, {"HTTP/1.1 400"}, true},
    {"header without colon", "GET / HTTP/1.1\r\nHost 127.0.0.1\r\n\r\n", false, {"HTTP/1.1 400"}, true},
    {"unsupported version", "GET /status.json HTTP/9.9\r\n\r\n", false, {"HTTP/1.1 505"}, true},
    {"chunked body",
     "POST /open HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n",
     false,
     {"HTTP/1.1 411"},
     true},
    {"upgrade",
     "GET / HTTP/1.1\r\nConnection: Upgrade\r\nUpgrade: websocket\r\nSec-WebSocket-Version: 13\r\n\r\n" +
         kStatus,
     false,
     {"HTTP/1.1 200"},
     true},
    {"headers too long",
     "GET / HTTP/1.1\r\nX-Long: " + QByteArray(70000, 'x'),
     false,
     {"HTTP/1.1 413"},
     true},
};

} // namespace

// The remote view over a real socket, read by a real client.
class TestHttpEndpoint : public QObject
{
    Q_OBJECT

    FakeSource source;
    HttpEndpoint endpoint{kToken, {.requestLimitMs = 1500}};
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
        QNetworkReply* reply = nullptr;
        for (const auto& [path, type] :
             {std::pair("/loop.webp", "image/webp"), std::pair("/loop.gif", "image/gif"),
              std::pair("/loop.mp4", "video/mp4")}) {
            QCOMPARE(ask("GET", QLatin1String(path), {}, false, &reply),
                     std::make_pair(200, QByteArray(path + 1))); // the format asked for
            QCOMPARE(reply->rawHeader("Content-Type"), QByteArray(type));
        }
        QNetworkRequest ranged(at(QStringLiteral("/loop.mp4"))); // a video player's request for a part
        ranged.setRawHeader("Range", "bytes=5-");
        QNetworkReply* part = client.get(ranged);
        QVERIFY(part->isFinished() || QSignalSpy(part, &QNetworkReply::finished).wait(10000));
        QCOMPARE(part->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 206);
        QCOMPARE((QList<QByteArray>{part->rawHeader("Content-Range"), part->readAll()}),
                 (QList<QByteArray>{"bytes 5-7/8", "mp4"}));

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

        // Raw connections without the token beyond their limit close the oldest; idle ones are dropped.
        client.clearConnectionCache();
        QTRY_COMPARE(endpoint.openConnections(), 0);
        std::vector<std::unique_ptr<QTcpSocket>> sockets;
        for (int i = 0; i < RemoteRequest::MaxUnauthenticated + 8; ++i) {
            sockets.push_back(std::make_unique<QTcpSocket>());
            sockets.back()->connectToHost(QHostAddress::LocalHost, endpoint.port());
        }
        QTRY_VERIFY(std::count_if(sockets.cbegin(), sockets.cend(),
                                  [](const auto& s) { return s->peek(12) == "HTTP/1.1 503"; }) == 8);
        QCOMPARE(endpoint.openConnections(), RemoteRequest::MaxUnauthenticated);
        QTRY_COMPARE_WITH_TIMEOUT(endpoint.openConnections(), 0, 5000);  // 1.5 s without a word each
        QCOMPARE(ask("GET", QStringLiteral("/status.json")).first, 200); // and the server goes on
    }

    // Whatever a client sends, it is answered as HTTP says, or closed.
    void faults_data() { addTableRows(kFaults); }
    void faults()
    {
        QFETCH(int, row);
        const Fault& f = kFaults[row];
        HttpEndpoint server(kToken, {.requestLimitMs = 60000}); // closed here by the server alone
        QString why;
        QVERIFY2(server.listen(QStringLiteral("127.0.0.1"), 0, &why), qPrintable(why));
        server.setSource(&source);
        RawClient raw(server.port(), f.request);
        if (f.halfClose) {
            QVERIFY(raw.socket.waitForBytesWritten(5000));
            QCOMPARE(::shutdown(int(raw.socket.socketDescriptor()), SHUT_WR), 0);
        }
        QTRY_VERIFY(f.closed ? raw.closed() : raw.statusLines().size() >= f.answers.size());
        QCOMPARE(raw.statusLines(), f.answers);
        QVERIFY(!raw.closed() || f.closed);
    }

    // Pictures asked for many times over on a connection that reads nothing are answered one at a
    // time, from one copy; past the limit on what waits to go out, another client is told to wait.
    void onePictureAtATime()
    {
        HttpEndpoint server(kToken, {.maxQueuedBytes = 1 << 20});
        QString why;
        QVERIFY2(server.listen(QStringLiteral("127.0.0.1"), 0, &why), qPrintable(why));
        FakeSource big;
        big.png = QByteArray(16 << 20, 'p');
        server.setSource(&big);
        QByteArray asks;
        for (int i = 0; i < 6; ++i) {
            asks += "GET /picture.png HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
        }
        RawClient reader(server.port(), asks, true);
        QTRY_VERIFY(server.queuedBytes() > 0);
        QTest::qWait(300); // a server reading ahead would answer the rest in this while
        QCOMPARE(big.pictures, 1);
        QVERIFY(server.queuedBytes() <= big.png.size() + 1024);

        RawClient other(server.port(), "GET /picture.png HTTP/1.1\r\nConnection: close\r\n\r\n");
        QTRY_VERIFY(other.closed());
        QCOMPARE(other.statusLines(), QByteArrayList({"HTTP/1.1 503"}));

        reader.holding = false;
        reader.socket.setReadBufferSize(0);
        const auto answers = [&] { return 6 * (big.png.size() + reader.got.indexOf("\r\n\r\n") + 4); };
        QTRY_VERIFY_WITH_TIMEOUT((reader.got += reader.socket.readAll()).size() >= answers(), 20000);
        QCOMPARE(reader.got.size(), answers());
        QCOMPARE(reader.got.count("HTTP/1.1 200 OK"), 6);
        QCOMPARE(big.pictures, 7); // and once for the client told to wait
    }

    // Clients that send a request a line at a time are closed at the deadline, and never keep the
    // token's holder out.
    void slowClientsAndTheToken()
    {
        HttpEndpoint server(kToken, {.maxConnections = 6, .maxUnauthenticated = 3, .requestLimitMs = 1000});
        QString why;
        QVERIFY2(server.listen(QStringLiteral("127.0.0.1"), 0, &why), qPrintable(why));
        server.setSource(&source);
        std::vector<std::unique_ptr<RawClient>> slow;
        const auto more = [&](int n) {
            for (int i = 0; i < n; ++i) {
                slow.push_back(std::make_unique<RawClient>(server.port(), "GET /status.json HTTP/1.1\r\n"));
                QTRY_COMPARE(slow.back()->socket.state(), QAbstractSocket::ConnectedState);
            }
        };
        QTimer trickle;
        connect(&trickle, &QTimer::timeout, [&] {
            for (const auto& s : slow) {
                s->socket.write("X-Slow: 1\r\n");
            }
        });
        trickle.start(200);
        more(5);
        QTRY_COMPARE(server.openConnections(), 3); // the two oldest were closed for the newer ones
        const QByteArray withToken =
            "GET /status.json HTTP/1.1\r\nHost: 127.0.0.1\r\nAuthorization: Bearer " + kToken + "\r\n\r\n";
        RawClient holder(server.port(), withToken);
        QTRY_COMPARE(holder.statusLines(), QByteArrayList({"HTTP/1.1 200"}));
        more(3); // the holder is not one of those closed for them
        holder.socket.write(withToken);
        QTRY_COMPARE(holder.statusLines(), QByteArrayList({"HTTP/1.1 200", "HTTP/1.1 200"}));
        QTRY_VERIFY(std::all_of(slow.cbegin(), slow.cend(), [](const auto& s) { return s->closed(); }));
        QVERIFY(
            std::none_of(slow.cbegin(), slow.cend(), [](const auto& s) { return s->got.contains("200"); }));
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
