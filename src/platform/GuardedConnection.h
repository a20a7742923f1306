#pragma once

#include "core/HttpRequestFrame.h"

#include <QObject>

class QTcpSocket;
class QTimer;

// One client of the HTTP server, between its socket and the server's own request parser: the bytes
// it sends are held here and handed on one whole request at a time, the next only once the answer
// to the last has gone out. A request must be in whole within the limit of the connection's start
// or of its last answer, and an answer must keep going out, or the connection is closed. A request
// that does not parse, or is too large, is refused here and the connection closed.
class GuardedConnection : public QObject
{
    Q_OBJECT
public:
    // A child of socket.
    GuardedConnection(QTcpSocket* socket, int requestLimitMs, qint64 maxRequestBytes);

    QTcpSocket* socket() const { return m_socket; }
    bool authenticated() const { return m_authenticated; }
    bool closing() const { return m_closing; }

    // The request handed on has reached the server's handler, with the token or without it. True:
    // the connection is closed once its answer has gone out.
    bool taken(bool tokenGiven);
    // Answered with status and a word of why, and closed (cut, if an answer is going out).
    void refuse(int status);

    // A whole answer with status and a word of why, closing the connection.
    static QByteArray refusal(int status);

private:
    void received();
    void wrote();
    void serveNext();
    void handOn(const QByteArray& request);
    void answered();

    QTcpSocket* m_socket;
    qint64 m_maxRequestBytes;
    HttpRequestFrame m_frame;
    QTimer* m_deadline;
    bool m_feeding = false;   // a request is being handed to the parser
    bool m_answering = false; // one was handed on and its answer has not gone out
    bool m_taken = false;     // ... and it reached the handler
    bool m_closeAfter = false;
    bool m_authenticated = false; // a request with the token came on this connection
    bool m_closing = false;
};
