#pragma once

#include <QTcpServer>

// A listening socket that takes at most a number of connections at once (one more is answered 503
// and closed), drops a connection that sends nothing for a while, and cuts one that sends far more
// than any request of ours can be.
class GuardedTcpServer : public QTcpServer
{
    Q_OBJECT
public:
    GuardedTcpServer(int maxConnections, int idleLimitMs, qint64 maxRequestBytes, QObject* parent = nullptr);

    QTcpSocket* nextPendingConnection() override;
    int openConnections() const { return m_open; }

protected:
    void incomingConnection(qintptr handle) override;

private:
    int m_maxConnections;
    int m_idleLimitMs;
    qint64 m_maxRequestBytes;
    int m_open = 0; // taken and not yet closed
};
