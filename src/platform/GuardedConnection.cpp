#include "platform/GuardedConnection.h"

#include "core/HttpStatus.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

GuardedConnection::GuardedConnection(QTcpSocket* socket, int requestLimitMs, qint64 maxRequestBytes)
    : QObject(socket), m_socket(socket), m_maxRequestBytes(maxRequestBytes), m_frame(maxRequestBytes),
      m_deadline(new QTimer(this))
{
    m_deadline->setSingleShot(true);
    m_deadline->setInterval(requestLimitMs);
    connect(m_deadline, &QTimer::timeout, m_socket, &QTcpSocket::abort);
    m_deadline->start();
    // Connected before the server's parser is: every byte comes here first.
    connect(m_socket, &QTcpSocket::readyRead, this, &GuardedConnection::received);
    connect(m_socket, &QTcpSocket::bytesWritten, this, &GuardedConnection::wrote);
    connect(m_socket, &QTcpSocket::disconnected, this, [this] {
        m_closing = true;
        m_deadline->stop();
    });
    connect(m_socket, &QTcpSocket::disconnected, m_socket, &QObject::deleteLater);
}

QByteArray GuardedConnection::refusal(int status)
{
    QByteArray body;
    switch (status) {
    case 400:
        body = "That is no HTTP request.\n";
        break;
    case 411:
        body = "Give the body's length, please.\n";
        break;
    case 413:
        body = "At most 8 KiB of body, please.\n";
        break;
    case 503:
        body = "Too many now.\n";
        break;
    case 505:
        body = "HTTP/1.1, please.\n";
        break;
    default:
        break;
    }
    return HttpStatus::line(status) +
           "Content-Type: text/plain\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n" + (status == 503 ? "Retry-After: 5\r\n" : "") + "\r\n" + body;
}

bool GuardedConnection::taken(bool tokenGiven)
{
    m_taken = true;
    m_authenticated = m_authenticated || tokenGiven;
    return m_closeAfter;
}

void GuardedConnection::refuse(int status)
{
    if (m_closing) {
        return;
    }
    m_closing = true;
    m_deadline->start(); // a client that reads nothing is not waited for
    if (m_answering) {
        m_socket->abort();
        return;
    }
    m_socket->write(refusal(status));
    m_socket->disconnectFromHost();
}

void GuardedConnection::received()
{
    if (m_feeding) {
        return; // the request handed on: the parser's
    }
    // The parser reads in a transaction of its own, left open when it found nothing whole.
    if (m_socket->isTransactionStarted()) {
        m_socket->commitTransaction();
    }
    const QByteArray bytes = m_socket->readAll();
    if (m_closing) {
        return;
    }
    m_frame.append(bytes);
    if (m_answering) {
        if (m_frame.size() > m_maxRequestBytes) { // far more sent ahead than any client needs
            m_closing = true;
            m_socket->abort();
        }
        return;
    }
    serveNext();
}

void GuardedConnection::serveNext()
{
    if (m_answering || m_closing) {
        return;
    }
    const HttpRequestFrame::Frame frame = m_frame.next();
    switch (frame.kind) {
    case HttpRequestFrame::Kind::Partial:
        return;
    case HttpRequestFrame::Kind::Whole:
        m_closeAfter = frame.closeAfter;
        handOn(m_frame.take(frame.length));
        return;
    case HttpRequestFrame::Kind::Malformed:
        refuse(400);
        return;
    case HttpRequestFrame::Kind::BadVersion:
        refuse(505);
        return;
    case HttpRequestFrame::Kind::NoLength:
        refuse(411);
        return;
    case HttpRequestFrame::Kind::TooLarge:
        refuse(413);
        return;
    }
}

void GuardedConnection::handOn(const QByteArray& request)
{
    m_answering = true;
    m_taken = false;
    m_deadline->start(); // the answer has as long to start going out
    if (m_socket->isTransactionStarted()) {
        m_socket->commitTransaction();
    }
    m_frame.append(m_socket->readAll()); // the parser is to see this request alone
    for (qsizetype i = request.size() - 1; i >= 0; --i) {
        m_socket->ungetChar(request[i]);
    }
    const QPointer<GuardedConnection> self(this);
    m_feeding = true;
    emit m_socket->readyRead();
    if (self.isNull()) {
        return;
    }
    m_feeding = false;
    if (!m_taken) {
        // The parser would not take it, and may have let go of the socket: it is ours to close.
        m_answering = false;
        m_socket->skip(m_socket->bytesAvailable());
        connect(m_socket, &QTcpSocket::disconnected, m_socket, &QObject::deleteLater, Qt::UniqueConnection);
        refuse(400);
        return;
    }
    // Out at once: a client that has ended its side after the request is cut off as soon as that is
    // read, and its answer with it.
    m_socket->flush();
}

void GuardedConnection::wrote()
{
    if (m_closing) {
        return;
    }
    m_deadline->start(); // a long answer to a client that reads it is no idle client
    if (m_answering && m_taken && m_socket->bytesToWrite() == 0) {
        answered();
    }
}

void GuardedConnection::answered()
{
    m_answering = false;
    if (m_closeAfter) {
        m_closing = true;
        m_socket->disconnectFromHost();
        return;
    }
    // The next request, if one is waiting, from the event loop: many sent at once are not answered
    // all inside this one.
    QTimer::singleShot(0, this, &GuardedConnection::serveNext);
}
