#include "TlsLoopbackServer.h"

#include <QFile>
#include <QProcess>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>
#include <QStandardPaths>
#include <QTemporaryDir>

bool TlsLoopbackServer::start()
{
    const QString openssl = QStandardPaths::findExecutable(QStringLiteral("openssl"));
    if (openssl.isEmpty() || !QSslSocket::supportsSsl()) {
        return false;
    }
    QTemporaryDir dir;
    QProcess p;
    p.start(openssl, {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj", "/CN=localhost",
                      "-keyout", dir.filePath("key.pem"), "-out", dir.filePath("cert.pem")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) {
        return false;
    }
    QFile cert(dir.filePath("cert.pem"));
    QFile key(dir.filePath("key.pem"));
    if (!cert.open(QIODevice::ReadOnly) || !key.open(QIODevice::ReadOnly)) {
        return false;
    }
    m_certificate = cert.readAll();
    m_key = key.readAll();
    return listen(QHostAddress::LocalHost, 0);
}

void TlsLoopbackServer::incomingConnection(qintptr descriptor)
{
    auto* socket = new QSslSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    socket->setLocalCertificate(QSslCertificate(m_certificate));
    socket->setPrivateKey(QSslKey(m_key, QSsl::Rsa));
    connect(socket, &QSslSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QSslSocket::encrypted, this, [this] { ++m_handshakes; });
    connect(socket, &QSslSocket::readyRead, socket, [socket] {
        socket->readAll();
        const QByteArray body = "<html><head><title>Secret</title></head><body>served</body></html>";
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                      QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
    });
    socket->startServerEncryption();
}
