#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The rules a request to the remote view is answered by, before anything is read or done: which
// paths there are, which method each takes, when the token is needed and how large a body may be.
class RemoteRequest
{
public:
    static constexpr qint64 MaxBodyBytes = 8 * 1024;
    static constexpr int MaxConnections = 32;
    // Connections that have not yet brought the token: fewer, so that its holder always gets in.
    static constexpr int MaxUnauthenticated = 24;
    // A request must be in whole this long after its connection opened or its last answer went out.
    static constexpr int RequestLimitMs = 10000;
    // Answers waiting to go out to all clients together; beyond this a new one is 503.
    static constexpr qint64 MaxQueuedBytes = 64 * 1024 * 1024;

    enum class Route
    {
        None, // refused: see status
        Page,
        Status,
        Picture,
        Loop,    // as animated WebP
        LoopGif, // as GIF
        LoopMp4, // as MP4 video
        Metrics,
        Refresh,
        Next,
        Open
    };

    struct Verdict
    {
        Route route = Route::None;
        int status = 200;   // 200 for a route; else 401, 403, 404, 405 or 413
        QByteArray allowed; // with 405: the method the path takes
        bool tokenGiven = false;
    };

    // What the request brought: its method and path, the token it gave (the Authorization header's
    // "Bearer TOKEN", the scheme in any case, or ?token=), the size of its body, whether the server listens
    // on loopback only, and the Host it was sent to. token is the one in RemoteToken.
    struct Request
    {
        QByteArray method;
        QString path;
        QByteArray authorization;
        QByteArray queryToken;
        qint64 bodyBytes = 0;
        bool loopbackOnly = true;
        QByteArray host;
    };

    static Verdict judge(const Request& request, QByteArrayView token);
    // Equal, in a time that depends on the lengths only.
    static bool sameToken(QByteArrayView given, QByteArrayView token);
};
