#pragma once

#include "core/RemoteRequest.h"
#include "core/RemoteSource.h"

#include <QAbstractHttpServer>
#include <QHostAddress>

class GuardedTcpServer;

// The remote view over Qt's HTTP server: each request is judged by the request rules, then read
// from or handed to the window. Nothing a client sends can hold the window up: answers are made
// from what is at hand, and the loop, made elsewhere, is sent when it is ready.
class HttpEndpoint : public QAbstractHttpServer
{
    Q_OBJECT
public:
    // Until a source is set, every request that passes the rules is answered 503.
    explicit HttpEndpoint(QByteArray token, int idleLimitMs = RemoteRequest::IdleLimitMs,
                          QObject* parent = nullptr);
    void setSource(RemoteSource* source) { m_source = source; }

    // Listens on host ("localhost", or an address of this machine) and port; false and why not.
    bool listen(const QString& host, int port, QString* error);
    quint16 port() const;
    int openConnections() const;

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    void answer(RemoteRequest::Route route, const QHttpServerRequest& request, QTcpSocket* socket);

    RemoteSource* m_source = nullptr;
    QByteArray m_token;
    int m_idleLimitMs;
    bool m_loopbackOnly = true;
    GuardedTcpServer* m_server = nullptr;
};
