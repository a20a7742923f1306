#include "platform/HttpEndpoint.h"

#include "core/ByteRange.h"
#include "core/HttpStatus.h"

#include <QHttpServerRequest>
#include <QPointer>
#include <QTcpSocket>
#include <QUrlQuery>

namespace {

QByteArray methodName(QHttpServerRequest::Method method)
{
    switch (method) {
    case QHttpServerRequest::Method::Get:
        return "GET";
    case QHttpServerRequest::Method::Post:
        return "POST";
    case QHttpServerRequest::Method::Head:
        return "HEAD";
    case QHttpServerRequest::Method::Put:
        return "PUT";
    case QHttpServerRequest::Method::Delete:
        return "DELETE";
    default:
        return "OTHER";
    }
}

QByteArray header(const QHttpServerRequest& request, const QByteArray& name)
{
    for (const auto& [key, value] : request.headers()) {
        if (key.compare(name, Qt::CaseInsensitive) == 0) {
            return value;
        }
    }
    return {};
}

// The body is written as it is given, not copied: a picture sent to many clients is one in memory.
void reply(QTcpSocket* socket, bool close, int status, const QByteArray& type, const QByteArray& body,
           const QByteArray& extraName = {}, const QByteArray& extraValue = {})
{
    QByteArray head = HttpStatus::line(status) + "Content-Type: " + type +
                      "\r\nContent-Length: " + QByteArray::number(body.size()) +
                      "\r\nCache-Control: no-store\r\nX-Content-Type-Options: nosniff\r\n";
    if (!extraName.isEmpty()) {
        head += extraName + ": " + extraValue + "\r\n";
    }
    if (close) {
        head += "Connection: close\r\n";
    }
    socket->write(head + "\r\n");
    socket->write(body);
}

void busy(QTcpSocket* socket, bool close)
{
    reply(socket, close, 503, "text/plain", "Busy: try again shortly.\n", "Retry-After", "5");
}

} // namespace

HttpEndpoint::HttpEndpoint(QByteArray token, GuardedTcpServer::Limits limits, QObject* parent)
    : QAbstractHttpServer(parent), m_token(std::move(token)), m_limits(limits)
{
}

bool HttpEndpoint::listen(const QString& host, int port, QString* error)
{
    const QHostAddress address = host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0
                                     ? QHostAddress(QHostAddress::LocalHost)
                                     : QHostAddress(host);
    if (address.isNull()) {
        *error = tr("\"%1\" is not an IP address (give 127.0.0.1, 0.0.0.0 or an address of this machine)")
                     .arg(host);
        return false;
    }
    m_server = new GuardedTcpServer(m_limits, this);
    if (!m_server->listen(address, quint16(port))) {
        *error = tr("cannot listen on %1 port %2: %3").arg(host).arg(port).arg(m_server->errorString());
        delete m_server;
        m_server = nullptr;
        return false;
    }
    m_loopbackOnly = address.isLoopback();
    bind(m_server);
    return true;
}

quint16 HttpEndpoint::port() const
{
    return m_server != nullptr ? m_server->serverPort() : 0;
}

int HttpEndpoint::openConnections() const
{
    return m_server != nullptr ? m_server->openConnections() : 0;
}

qint64 HttpEndpoint::queuedBytes() const
{
    return m_server != nullptr ? m_server->queuedBytes() : 0;
}

bool HttpEndpoint::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket)
{
    RemoteRequest::Request r;
    r.method = methodName(request.method());
    r.path = request.url().path();
    r.authorization = header(request, "Authorization");
    r.queryToken = request.query().queryItemValue(QStringLiteral("token")).toLatin1();
    r.bodyBytes = qMax(qint64(request.body().size()), header(request, "Content-Length").toLongLong());
    r.loopbackOnly = m_loopbackOnly;
    r.host = header(request, "Host").trimmed().toLower();
    const RemoteRequest::Verdict verdict = RemoteRequest::judge(r, m_token);
    const bool close = m_server == nullptr || m_server->takeRequest(socket, verdict.tokenGiven);
    switch (verdict.status) {
    case 200:
        answer(verdict.route, request, socket, close);
        break;
    case 401:
        reply(socket, close, 401, "text/plain",
              "The token is needed: Authorization: Bearer TOKEN, or ?token=TOKEN\n", "WWW-Authenticate",
              "Bearer");
        break;
    case 403:
        reply(socket, close, 403, "text/plain", "Ask for 127.0.0.1 or localhost, or give the token.\n");
        break;
    case 405:
        reply(socket, close, 405, "text/plain", "This path takes " + verdict.allowed + ".\n", "Allow",
              verdict.allowed);
        break;
    case 413:
        reply(socket, close, 413, "text/plain", "At most 8 KiB of body, please.\n");
        break;
    default:
        reply(socket, close, 404, "text/plain", "Not here.\n");
        break;
    }
    return true;
}

void HttpEndpoint::missingHandler(const QHttpServerRequest&, QTcpSocket* socket)
{
    // Every request is answered by handleRequest; this comes after it only for one that asked for
    // another protocol, which is not taken up: the connection ends with the answer it has.
    socket->disconnectFromHost();
}

void HttpEndpoint::answer(RemoteRequest::Route route, const QHttpServerRequest& request, QTcpSocket* socket,
                          bool close)
{
    using Route = RemoteRequest::Route;
    if (m_source == nullptr) {
        reply(socket, close, 503, "text/plain", "Starting.\n", "Retry-After", "5");
        return;
    }
    switch (route) {
    case Route::Page: {
        // The page's own requests carry the token on when it came in the address.
        const QString token = request.query().queryItemValue(QStringLiteral("token"));
        reply(socket, close, 200, "text/html; charset=utf-8",
              m_source->report().phonePage(RemoteRequest::sameToken(token.toLatin1(), m_token) ? token
                                                                                               : QString()),
              "Content-Security-Policy",
              "default-src 'none'; img-src 'self'; media-src 'self'; style-src 'unsafe-inline'; "
              "script-src 'unsafe-inline'");
        return;
    }
    case Route::Status:
        reply(socket, close, 200, "application/json", m_source->report().statusJson());
        return;
    case Route::Metrics:
        reply(socket, close, 200, "text/plain; version=0.0.4", m_source->report().metrics());
        return;
    case Route::Picture: {
        // The window's one copy of the picture, shared by every answer; past the queue's limit the
        // client is asked to come back.
        const QByteArray png = m_source->picturePng();
        if (!png.isEmpty() && !m_server->canQueue(png.size())) {
            busy(socket, close);
        } else if (png.isEmpty()) {
            reply(socket, close, 503, "text/plain", "No picture yet.\n", "Retry-After", "30");
        } else {
            reply(socket, close, 200, "image/png", png);
        }
        return;
    }
    case Route::Loop:
    case Route::LoopGif:
    case Route::LoopMp4: {
        const auto [suffix, type] = route == Route::LoopGif   ? std::pair("gif", "image/gif")
                                    : route == Route::LoopMp4 ? std::pair("mp4", "video/mp4")
                                                              : std::pair("webp", "image/webp");
        // Made elsewhere: answered on the socket when it is ready, if the client is still there. A
        // player may ask for it part by part (Range), as a phone's browser does for a video.
        const QPointer<QTcpSocket> client(socket);
        const QPointer<GuardedTcpServer> server(m_server);
        m_source->loop(QLatin1String(suffix), [client, server, type = QByteArray(type),
                                               range = header(request, "Range")](const QByteArray& loop) {
            if (client.isNull() || server.isNull() || client->state() != QAbstractSocket::ConnectedState) {
                return;
            }
            if (!server->canQueue(loop.size())) {
                busy(client, true);
                client->disconnectFromHost();
                return;
            }
            const ByteRange part = ByteRange::of(range, loop.size());
            const int status = loop.isEmpty()                                ? 404
                               : part.kind == ByteRange::Kind::Unsatisfiable ? 416
                               : part.kind == ByteRange::Kind::Part          ? 206
                                                                             : 200;
            const QByteArray body =
                status == 404
                    ? QByteArray("No loop of this page: no frames kept yet, or it could not be made.\n")
                : status == 416 ? QByteArray()
                : status == 206 ? loop.mid(part.first, part.last - part.first + 1)
                                : loop;
            QByteArray head = HttpStatus::line(status) +
                              "Content-Type: " + (status == 404 ? QByteArray("text/plain") : type) + "\r\n";
            if (status != 404) {
                const QByteArray total = QByteArray::number(loop.size());
                head += "Accept-Ranges: bytes\r\n";
                head += status == 206 ? "Content-Range: bytes " + QByteArray::number(part.first) + '-' +
                                            QByteArray::number(part.last) + '/' + total + "\r\n"
                        : status == 416 ? "Content-Range: bytes */" + total + "\r\n"
                                        : QByteArray();
            }
            head += "Content-Length: " + QByteArray::number(body.size()) +
                    "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n";
            client->write(head);
            client->write(body);
            client->disconnectFromHost();
        });
        return;
    }
    case Route::Refresh:
        m_source->refresh();
        break;
    case Route::Next:
        m_source->next();
        break;
    case Route::Open: {
        const QString address =
            QUrlQuery(QString::fromUtf8(request.body()).replace(QLatin1Char('+'), QLatin1Char(' ')))
                .queryItemValue(QStringLiteral("address"), QUrl::FullyDecoded);
        const QString refused = m_source->open(
            address.isEmpty() ? request.query().queryItemValue(QStringLiteral("address"), QUrl::FullyDecoded)
                              : address);
        if (!refused.isEmpty()) {
            reply(socket, close, 400, "text/plain", refused.toUtf8() + '\n');
            return;
        }
        break;
    }
    case Route::None:
        return;
    }
    reply(socket, close, 202, "text/plain", "Accepted.\n");
}
