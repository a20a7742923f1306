#include "LoopbackServer.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

LoopbackServer::LoopbackServer(QObject* parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &LoopbackServer::onNewConnection);
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
            Request request;
            QList<QByteArray> lines = buffer->left(end).split('\n');
            const QList<QByteArray> requestLine = lines.takeFirst().trimmed().split(' ');
            for (const QByteArray& line : lines) {
                if (const qsizetype colon = line.indexOf(':'); colon > 0) {
                    request.headers.insert(line.left(colon).trimmed().toLower(),
                                           line.mid(colon + 1).trimmed());
                }
            }
            const qsizetype length = request.headers.value("content-length").toLongLong();
            if (buffer->size() < end + 4 + length) {
                return; // the body is still coming
            }
            request.method = requestLine.value(0);
            request.body = buffer->mid(end + 4, length);
            buffer->remove(0, end + 4 + length);
            const QString path = requestLine.size() > 1 ? QString::fromLatin1(requestLine.at(1)) : QString();
            const QString bare = path.section(QLatin1Char('?'), 0, 0);
            m_counts[bare] += 1;
            m_lastTargets[bare] = path;
            m_lastRequests[bare] = request;
            const bool found = m_pages.contains(bare) || m_generators.contains(bare);
            const Response r = m_generators.contains(bare) ? m_generators.value(bare)()
                                                           : m_pages.value(bare, Response{"Not found"});
            const QByteArray whole = "HTTP/1.1 " + (found ? r.status : QByteArray("404 Not Found")) + "\r\n" +
                                     "Content-Type: " + r.contentType +
                                     "\r\nContent-Length: " + QByteArray::number(r.body.size()) +
                                     "\r\nCache-Control: " + r.cacheControl +
                                     "\r\nConnection: close\r\n\r\n" + r.body;
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
