#include "core/RemoteRequest.h"

#include "TableRows.h"

#include <QTest>

namespace {

const QByteArray kToken = QByteArray(64, 'a');
const QByteArray kOther = QByteArray(63, 'a') + 'b';

struct Row
{
    const char* name;
    const char* method;
    const char* path;
    QByteArray authorization;
    QByteArray queryToken;
    qint64 body;
    bool loopbackOnly;
    QByteArray host;
    int status;
    RemoteRequest::Route route;
};

using R = RemoteRequest::Route;
const Row kRows[] = {
    {"page", "GET", "/", {}, {}, 0, true, {}, 200, R::Page},
    {"status", "GET", "/status.json", {}, {}, 0, true, {}, 200, R::Status},
    {"picture", "GET", "/picture.png", {}, {}, 0, true, {}, 200, R::Picture},
    {"loop", "GET", "/loop.webp", {}, {}, 0, true, {}, 200, R::Loop},
    {"loop as GIF", "GET", "/loop.gif", {}, {}, 0, true, {}, 200, R::LoopGif},
    {"loop as video", "GET", "/loop.mp4", {}, {}, 0, true, {}, 200, R::LoopMp4},
    {"metrics", "GET", "/metrics", {}, {}, 0, true, {}, 200, R::Metrics},
    {"unknown path", "GET", "/etc/passwd", {}, {}, 0, true, {}, 404, R::None},
    {"path is exact", "GET", "/status.json/", {}, {}, 0, true, {}, 404, R::None},
    {"post to reading", "POST", "/status.json", "Bearer " + kToken, {}, 0, true, {}, 405, R::None},
    {"get an action", "GET", "/refresh", {}, {}, 0, true, {}, 405, R::None},
    {"head", "HEAD", "/", {}, {}, 0, true, {}, 405, R::None},
    {"action without token", "POST", "/refresh", {}, {}, 0, true, {}, 401, R::None},
    {"action, wrong token", "POST", "/refresh", "Bearer " + kOther, {}, 0, true, {}, 401, R::None},
    {"action, token prefix", "POST", "/refresh", "Bearer " + kToken.left(10), {}, 0, true, {}, 401, R::None},
    {"action, not bearer", "POST", "/refresh", "Basic " + kToken, {}, 0, true, {}, 401, R::None},
    {"refresh", "POST", "/refresh", "Bearer " + kToken, {}, 0, true, {}, 200, R::Refresh},
    {"scheme in any case", "POST", "/refresh", "bEARER " + kToken, {}, 0, true, {}, 200, R::Refresh},
    {"next, query token", "POST", "/next", {}, kToken, 0, true, {}, 200, R::Next},
    {"open", "POST", "/open", " Bearer  " + kToken + ' ', {}, 8192, true, {}, 200, R::Open},
    {"body too large", "POST", "/open", "Bearer " + kToken, {}, 8193, true, {}, 413, R::None},
    {"away: reading needs it", "GET", "/status.json", {}, {}, 0, false, {}, 401, R::None},
    {"away: even to say 404", "GET", "/nothing", {}, {}, 0, false, {}, 401, R::None},
    {"away: wrong query token", "GET", "/", {}, kOther, 0, false, {}, 401, R::None},
    {"away: with token", "GET", "/picture.png", {}, kToken, 0, false, {}, 200, R::Picture},
    {"away: action", "POST", "/refresh", "Bearer " + kToken, {}, 0, false, {}, 200, R::Refresh},
    {"loopback names", "GET", "/", {}, {}, 0, true, "127.0.0.1:8765", 200, R::Page},
    {"localhost", "GET", "/", {}, {}, 0, true, "localhost:8765", 200, R::Page},
    {"ipv6 loopback", "GET", "/", {}, {}, 0, true, "[::1]:8765", 200, R::Page},
    {"rebound name", "GET", "/status.json", {}, {}, 0, true, "evil.example:8765", 403, R::None},
    {"rebound, look-alike", "GET", "/", {}, {}, 0, true, "localhost.evil.example", 403, R::None},
    {"rebound, numeric look-alike", "GET", "/", {}, {}, 0, true, "127.0.0.1.evil.example", 403, R::None},
    {"rebound, token given", "GET", "/", {}, kToken, 0, true, "radar.lan:8765", 200, R::Page},
};

} // namespace

// What each request to the remote view is answered with, before anything is read or done.
class TestRemoteRequest : public QObject
{
    Q_OBJECT
private slots:
    void judge_data() { addTableRows(kRows); }
    void judge()
    {
        QFETCH(int, row);
        const Row& r = kRows[row];
        const RemoteRequest::Verdict v = RemoteRequest::judge(
            {r.method, QLatin1String(r.path), r.authorization, r.queryToken, r.body, r.loopbackOnly, r.host},
            kToken);
        QCOMPARE(v.status, r.status);
        QCOMPARE(v.route, r.route);
        QCOMPARE(v.allowed.isEmpty(), r.status != 405);
    }

    void noTokenIsNoToken()
    {
        // A server whose token could not be kept takes no action, however asked.
        QVERIFY(!RemoteRequest::sameToken("", ""));
        QCOMPARE(
            RemoteRequest::judge({"POST", QStringLiteral("/refresh"), "Bearer ", {}, 0, true, {}}, "").status,
            401);
    }
};

QTEST_GUILESS_MAIN(TestRemoteRequest)
#include "tst_RemoteRequest.moc"
