#pragma once

#include "core/RemoteRequest.h"
#include "core/RemoteSource.h"
#include "platform/GuardedTcpServer.h"

#include <QAbstractHttpServer>
#include <QHostAddress>

// The remote view over Qt's HTTP server: each request is judged by the request rules, then read
// from or handed to the window. Nothing a client sends can hold the window up: answers are made
// from what is at hand, and the loop, made elsewhere, is sent when it is ready. A connection is
// answered one request at a time, and the picture goes out as the one copy the window keeps.
class HttpEndpoint : public QAbstractHttpServer
{
    Q_OBJECT
public:
    // Until a source is set, every request that passes the rules is answered 503.
    explicit HttpEndpoint(QByteArray token, GuardedTcpServer::Limits limits = {}, QObject* parent = nullptr);
    void setSource(RemoteSource* source) { m_source = source; }

    // Listens on host ("localhost", or an address of this machine) and port; false and why not.
    bool listen(const QString& host, int port, QString* error);
    quint16 port() const;
    int openConnections() const;
    // The answers' bytes waiting to go out, over all clients.
    qint64 queuedBytes() const;

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    void answer(RemoteRequest::Route route, const QHttpServerRequest& request, QTcpSocket* socket,
                bool close);

    RemoteSource* m_source = nullptr;
    QByteArray m_token;
    GuardedTcpServer::Limits m_limits;
    bool m_loopbackOnly = true;
    GuardedTcpServer* m_server = nullptr;
};
