#include "platform/GuardedTcpServer.h"

#include "platform/GuardedConnection.h"

#include <QTcpSocket>
#include <QTimer>

GuardedTcpServer::GuardedTcpServer(Limits limits, QObject* parent) : QTcpServer(parent), m_limits(limits) {}

int GuardedTcpServer::openConnections() const
{
    return int(std::count_if(m_connections.cbegin(), m_connections.cend(),
                             [](const QPointer<GuardedConnection>& c) { return !c.isNull(); }));
}

qint64 GuardedTcpServer::queuedBytes() const
{
    qint64 queued = 0;
    for (const QPointer<GuardedConnection>& c : m_connections) {
        if (!c.isNull()) {
            queued += c->socket()->bytesToWrite();
        }
    }
    return queued;
}

bool GuardedTcpServer::canQueue(qint64 bytes) const
{
    const qint64 queued = queuedBytes();
    return queued == 0 || queued + bytes <= m_limits.maxQueuedBytes;
}

bool GuardedTcpServer::takeRequest(QTcpSocket* socket, bool tokenGiven)
{
    for (const QPointer<GuardedConnection>& c : std::as_const(m_connections)) {
        if (!c.isNull() && c->socket() == socket) {
            return c->taken(tokenGiven);
        }
    }
    return true; // not one of ours: not kept open
}

void GuardedTcpServer::incomingConnection(qintptr handle)
{
    m_connections.removeIf([](const QPointer<GuardedConnection>& c) { return c.isNull(); });
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(handle)) {
        delete socket;
        return;
    }
    int open = 0;
    GuardedConnection* oldestWithoutToken = nullptr;
    int withoutToken = 0;
    for (const QPointer<GuardedConnection>& c : std::as_const(m_connections)) {
        if (c->closing()) {
            continue;
        }
        ++open;
        if (!c->authenticated()) {
            oldestWithoutToken = oldestWithoutToken != nullptr ? oldestWithoutToken : c.data();
            ++withoutToken;
        }
    }
    if (withoutToken >= m_limits.maxUnauthenticated && oldestWithoutToken != nullptr) {
        oldestWithoutToken->refuse(503);
    } else if (open >= m_limits.maxConnections) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(m_limits.requestLimitMs, socket, &QTcpSocket::abort);
        socket->write(GuardedConnection::refusal(503));
        socket->disconnectFromHost();
        return;
    }
    m_connections.append(new GuardedConnection(socket, m_limits.requestLimitMs, m_limits.maxRequestBytes));
    addPendingConnection(socket);
}
