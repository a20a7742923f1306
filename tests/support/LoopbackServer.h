#pragma once

#include <QHash>
#include <QObject>
#include <QTcpServer>
#include <QUrl>

#include <functional>

// A small HTTP server on 127.0.0.1 for the tests: serves fixed pages by path and counts requests.
class LoopbackServer : public QObject
{
    Q_OBJECT
public:
    struct Response
    {
        QByteArray body;
        QByteArray contentType = "text/html; charset=utf-8";
        QByteArray status = "200 OK";
        QByteArray cacheControl = "no-store";
    };

    struct Request // headers by lower-case name
    {
        QByteArray method, body;
        QHash<QByteArray, QByteArray> headers;
    };

    explicit LoopbackServer(QObject* parent = nullptr);

    // A small HTML page with a title and a body.
    static QByteArray page(const QString& title, const QString& body = QString())
    {
        return QStringLiteral("<html><head><title>%1</title></head><body>%2</body></html>")
            .arg(title, body)
            .toUtf8();
    }

    bool start() { return m_server.listen(QHostAddress::LocalHost, 0); }
    void setPage(const QString& path, const QByteArray& html) { m_pages.insert(path, Response{html}); }
    // A response made afresh for every request.
    void setGenerator(const QString& path, std::function<Response()> generator)
    {
        m_generators.insert(path, std::move(generator));
    }
    QUrl url(const QString& path) const;
    // Answers requests for path only after this many milliseconds.
    void setDelay(const QString& path, int ms) { m_delays.insert(path, ms); }
    int requestCount(const QString& path) const { return m_counts.value(path); }
    // What the last request for path asked for, its query included.
    QString lastTarget(const QString& path) const { return m_lastTargets.value(path); }
    // The last request for path: its method, head and body.
    Request lastRequest(const QString& path) const { return m_lastRequests.value(path); }

private:
    void onNewConnection();

    QTcpServer m_server;
    QHash<QString, Response> m_pages;
    QHash<QString, std::function<Response()>> m_generators;
    QHash<QString, int> m_counts;
    QHash<QString, QString> m_lastTargets;
    QHash<QString, Request> m_lastRequests;
    QHash<QString, int> m_delays;
};
