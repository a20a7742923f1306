#pragma once

#include "core/RemoteRequest.h"

#include <QList>
#include <QPointer>
#include <QTcpServer>

class GuardedConnection;

// A listening socket whose clients each go through a GuardedConnection: at most a number of
// connections at once (one more is answered 503 and closed), and fewer of them without the token:
// when that many are open, the one that has been open longest is closed for the newcomer, which may
// be the token's holder. It also tells how much is waiting to go out to all clients together.
class GuardedTcpServer : public QTcpServer
{
    Q_OBJECT
public:
    struct Limits
    {
        int maxConnections = RemoteRequest::MaxConnections;
        int maxUnauthenticated = RemoteRequest::MaxUnauthenticated;
        int requestLimitMs = RemoteRequest::RequestLimitMs;
        qint64 maxRequestBytes = 64 * 1024; // headers and at most a small body
        qint64 maxQueuedBytes = RemoteRequest::MaxQueuedBytes;
    };

    GuardedTcpServer(Limits limits, QObject* parent);

    int openConnections() const;
    // The answers' bytes not yet taken by the system, over all clients.
    qint64 queuedBytes() const;
    // Whether an answer of this size may be queued now; one is when nothing else waits.
    bool canQueue(qint64 bytes) const;
    // The handler has the request that came on socket, with the token or without it. True: the
    // connection is closed once the answer has gone out.
    bool takeRequest(QTcpSocket* socket, bool tokenGiven);

protected:
    void incomingConnection(qintptr handle) override;

private:
    Limits m_limits;
    QList<QPointer<GuardedConnection>> m_connections; // in the order they came; gone ones are null
};
