#include "LoopbackServer.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

LoopbackServer::LoopbackServer(QObject* parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &LoopbackServer::onNewConnection);
}

bool LoopbackServer::start()
{
    return m_server.listen(QHostAddress::LocalHost, 0);
}

void LoopbackServer::setPage(const QString& path, const QByteArray& html)
{
    m_pages.insert(path, Response{html, "text/html; charset=utf-8", 200, {}});
}

void LoopbackServer::setResponse(const QString& path, Response response)
{
    m_pages.insert(path, std::move(response));
}

void LoopbackServer::setGenerator(const QString& path, std::function<Response()> generator)
{
    m_generators.insert(path, std::move(generator));
}

QUrl LoopbackServer::url(const QString& path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
}

void LoopbackServer::onNewConnection()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
            buffer->append(socket->readAll());
            const qsizetype end = buffer->indexOf("\r\n\r\n");
            if (end < 0) {
                return;
            }
            const QList<QByteArray> requestLine = buffer->left(buffer->indexOf("\r\n")).split(' ');
            buffer->remove(0, end + 4);
            const QString path = requestLine.size() > 1 ? QString::fromLatin1(requestLine.at(1)) : QString();
            const QString bare = path.section(QLatin1Char('?'), 0, 0);
            m_counts[bare] += 1;
            Response r;
            if (m_generators.contains(bare)) {
                r = m_generators.value(bare)();
            } else if (m_pages.contains(bare)) {
                r = m_pages.value(bare);
            } else {
                r = Response{"<html><head><title>Not found</title></head><body>404</body></html>",
                             "text/html",
                             404,
                             {}};
            }
            QByteArray reply = "HTTP/1.1 " + QByteArray::number(r.status) + " X\r\n";
            reply += "Content-Type: " + r.contentType + "\r\n";
            reply += "Content-Length: " + QByteArray::number(r.body.size()) + "\r\n";
            reply += "Cache-Control: no-store\r\n";
            if (!r.location.isEmpty()) {
                reply += "Location: " + r.location + "\r\n";
            }
            reply += "Connection: close\r\n\r\n";
            const QByteArray whole = reply + r.body;
            const QPointer<QTcpSocket> guarded(socket);
            QTimer::singleShot(m_delays.value(bare, 0), this, [guarded, whole] {
                if (guarded) {
                    guarded->write(whole);
                    guarded->disconnectFromHost();
                }
            });
        });
    }
}
