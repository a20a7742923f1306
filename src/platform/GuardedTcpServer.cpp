#include "platform/GuardedTcpServer.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

GuardedTcpServer::GuardedTcpServer(int maxConnections, int idleLimitMs, qint64 maxRequestBytes,
                                   QObject* parent)
    : QTcpServer(parent), m_maxConnections(maxConnections), m_idleLimitMs(idleLimitMs),
      m_maxRequestBytes(maxRequestBytes)
{
}

void GuardedTcpServer::incomingConnection(qintptr handle)
{
    if (m_open < m_maxConnections) {
        ++m_open;
        QTcpServer::incomingConnection(handle);
        return;
    }
    auto* refused = new QTcpSocket(this);
    refused->setSocketDescriptor(handle);
    connect(refused, &QTcpSocket::disconnected, refused, &QObject::deleteLater);
    refused->write("HTTP/1.1 503 Service Unavailable\r\nContent-Type: text/plain\r\nContent-Length: 14\r\n"
                   "Connection: close\r\nRetry-After: 5\r\n\r\nToo many now.\n");
    refused->disconnectFromHost();
}

QTcpSocket* GuardedTcpServer::nextPendingConnection()
{
    QTcpSocket* socket = QTcpServer::nextPendingConnection();
    if (socket == nullptr) {
        return nullptr;
    }
    connect(socket, &QObject::destroyed, this, [this] { --m_open; });
    // Connected before the HTTP server's own handler: the bytes of a request are counted first.
    auto* idle = new QTimer(socket);
    idle->setSingleShot(true);
    idle->setInterval(m_idleLimitMs);
    connect(idle, &QTimer::timeout, socket, &QTcpSocket::abort);
    idle->start();
    auto received = std::make_shared<qint64>(0); // -1: cut off
    connect(socket, &QTcpSocket::readyRead, socket, [this, socket, idle, received] {
        idle->start();
        if (*received >= 0) {
            *received += socket->bytesAvailable();
        }
        if (*received > m_maxRequestBytes) { // no request of ours is this large: said once, and closed
            *received = -1;
            socket->write(
                "HTTP/1.1 413 Payload Too Large\r\nContent-Type: text/plain\r\nContent-Length: 31\r\n"
                "Connection: close\r\n\r\nAt most 8 KiB of body, please.\n");
            socket->disconnectFromHost();
        }
        if (*received < 0) {
            socket->skip(socket->bytesAvailable()); // never reaches the server's parser
        }
    });
    connect(socket, &QTcpSocket::bytesWritten, socket, [idle, received] {
        idle->start(); // a long answer is no idle client
        if (*received > 0) {
            *received = 0; // an answer went out: the next request counts afresh
        }
    });
    return socket;
}
