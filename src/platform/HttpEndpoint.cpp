#include "platform/HttpEndpoint.h"

#include "platform/GuardedTcpServer.h"

#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QPointer>
#include <QTcpSocket>
#include <QUrlQuery>

namespace {

using Status = QHttpServerResponder::StatusCode;

// A request of ours is its headers and at most a small body; anything much larger is cut.
constexpr qint64 kMaxRequestBytes = 64 * 1024;

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

void reply(QHttpServerResponder&& responder, Status status, const QByteArray& type, const QByteArray& body,
           const QByteArray& extraName = {}, const QByteArray& extraValue = {})
{
    responder.writeStatusLine(status);
    responder.writeHeader("Content-Type", type);
    responder.writeHeader("Content-Length", QByteArray::number(body.size()));
    responder.writeHeader("Cache-Control", "no-store");
    responder.writeHeader("X-Content-Type-Options", "nosniff");
    if (!extraName.isEmpty()) {
        responder.writeHeader(extraName, extraValue);
    }
    responder.writeBody(body);
}

} // namespace

HttpEndpoint::HttpEndpoint(QByteArray token, int idleLimitMs, QObject* parent)
    : QAbstractHttpServer(parent), m_token(std::move(token)), m_idleLimitMs(idleLimitMs)
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
    m_server = new GuardedTcpServer(RemoteRequest::MaxConnections, m_idleLimitMs, kMaxRequestBytes, this);
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
    switch (verdict.status) {
    case 200:
        answer(verdict.route, request, socket);
        break;
    case 401:
        reply(makeResponder(request, socket), Status::Unauthorized, "text/plain",
              "The token is needed: Authorization: Bearer TOKEN, or ?token=TOKEN\n", "WWW-Authenticate",
              "Bearer");
        break;
    case 403:
        reply(makeResponder(request, socket), Status::Forbidden, "text/plain",
              "Ask for 127.0.0.1 or localhost, or give the token.\n");
        break;
    case 405:
        reply(makeResponder(request, socket), Status::MethodNotAllowed, "text/plain",
              "This path takes " + verdict.allowed + ".\n", "Allow", verdict.allowed);
        break;
    case 413:
        reply(makeResponder(request, socket), Status::PayloadTooLarge, "text/plain",
              "At most 8 KiB of body, please.\n");
        break;
    default:
        reply(makeResponder(request, socket), Status::NotFound, "text/plain", "Not here.\n");
        break;
    }
    return true;
}

void HttpEndpoint::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket)
{
    reply(makeResponder(request, socket), Status::NotFound, "text/plain", "Not here.\n");
}

void HttpEndpoint::answer(RemoteRequest::Route route, const QHttpServerRequest& request, QTcpSocket* socket)
{
    using Route = RemoteRequest::Route;
    if (m_source == nullptr) {
        reply(makeResponder(request, socket), Status::ServiceUnavailable, "text/plain", "Starting.\n",
              "Retry-After", "5");
        return;
    }
    switch (route) {
    case Route::Page: {
        // The page's own requests carry the token on when it came in the address.
        const QString token = request.query().queryItemValue(QStringLiteral("token"));
        reply(makeResponder(request, socket), Status::Ok, "text/html; charset=utf-8",
              m_source->report().phonePage(RemoteRequest::sameToken(token.toLatin1(), m_token) ? token
                                                                                               : QString()),
              "Content-Security-Policy",
              "default-src 'none'; img-src 'self'; style-src 'unsafe-inline'; script-src 'unsafe-inline'");
        return;
    }
    case Route::Status:
        reply(makeResponder(request, socket), Status::Ok, "application/json",
              m_source->report().statusJson());
        return;
    case Route::Metrics:
        reply(makeResponder(request, socket), Status::Ok, "text/plain; version=0.0.4",
              m_source->report().metrics());
        return;
    case Route::Picture: {
        const QByteArray png = m_source->picturePng();
        if (png.isEmpty()) {
            reply(makeResponder(request, socket), Status::ServiceUnavailable, "text/plain",
                  "No picture yet.\n", "Retry-After", "30");
        } else {
            reply(makeResponder(request, socket), Status::Ok, "image/png", png);
        }
        return;
    }
    case Route::Loop: {
        // Made elsewhere: answered on the socket when it is ready, if the client is still there.
        const QPointer<QTcpSocket> client(socket);
        m_source->loop([client](const QByteArray& webp) {
            if (client.isNull() || client->state() != QAbstractSocket::ConnectedState) {
                return;
            }
            const bool none = webp.isEmpty();
            const QByteArray body = none ? QByteArray("No frames kept of this page yet.\n") : webp;
            QByteArray head(none ? "HTTP/1.1 404 Not Found\r\nContent-Type: text/plain\r\n"
                                 : "HTTP/1.1 200 OK\r\nContent-Type: image/webp\r\n");
            head += "Content-Length: " + QByteArray::number(body.size()) +
                    "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n";
            client->write(head + body);
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
            reply(makeResponder(request, socket), Status::BadRequest, "text/plain", refused.toUtf8() + '\n');
            return;
        }
        break;
    }
    case Route::None:
        return;
    }
    reply(makeResponder(request, socket), Status::Accepted, "text/plain", "Accepted.\n");
}
