#pragma once

#include <QByteArray>
#include <QByteArrayView>

// The bytes a client has sent, told apart into HTTP/1.x requests before any of them is acted on: a
// request line that does not parse, another version of HTTP, a body of no stated length or a
// request larger than the limit is refused, and the connection closed after the answer. Each byte is
// looked at a bounded number of times, however the bytes come in.
class HttpRequestFrame
{
public:
    enum class Kind
    {
        Partial,    // more is to come
        Whole,      // the first `length` bytes are one request
        Malformed,  // 400
        BadVersion, // 505
        NoLength,   // 411: a body sent in chunks, which no request of ours needs
        TooLarge    // 413
    };

    struct Frame
    {
        Kind kind = Kind::Partial;
        qsizetype length = 0;
        bool closeAfter = false; // Connection: close, HTTP/1.0 without keep-alive, or Upgrade
    };

    explicit HttpRequestFrame(qint64 maxBytes) : m_maxBytes(maxBytes) {}

    void append(QByteArrayView bytes);
    qsizetype size() const { return m_bytes.size(); }
    // What the first request is, so far.
    Frame next();
    // Takes the first request out (length from a Whole frame); the next starts afresh.
    QByteArray take(qsizetype length);

    // The first request in bytes, looked at whole.
    static Frame read(QByteArrayView bytes, qint64 maxBytes);

private:
    QByteArray m_bytes;
    qint64 m_maxBytes;
    Frame m_last;             // as last read
    qsizetype m_searched = 0; // no end of the head before this
    qsizetype m_needed = 0;   // the whole request's length once its head is in; 0: not yet
    bool m_lineSeen = false;  // the request line has ended and was read
    bool m_fresh = true;      // nothing of this request was read yet
};
