#pragma once

#include <QByteArray>
#include <QTcpServer>
#include <QUrl>

// An HTTPS server on 127.0.0.1 with a self-signed certificate made for the test: every request gets
// the same small page. A browser must refuse it.
class TlsLoopbackServer : public QTcpServer
{
    Q_OBJECT
public:
    using QTcpServer::QTcpServer;

    // Makes a throw-away certificate with openssl and listens; false when that is not possible.
    bool start();
    QUrl url() const { return QUrl(QStringLiteral("https://localhost:%1/").arg(serverPort())); }
    int handshakes() const { return m_handshakes; }

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    QByteArray m_certificate;
    QByteArray m_key;
    int m_handshakes = 0;
};
