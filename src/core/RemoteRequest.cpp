#include "core/RemoteRequest.h"

namespace {

struct Path
{
    const char* path;
    const char* method;
    RemoteRequest::Route route;
};

constexpr Path kPaths[] = {
    {"/", "GET", RemoteRequest::Route::Page},
    {"/status.json", "GET", RemoteRequest::Route::Status},
    {"/picture.png", "GET", RemoteRequest::Route::Picture},
    {"/loop.webp", "GET", RemoteRequest::Route::Loop},
    {"/metrics", "GET", RemoteRequest::Route::Metrics},
    {"/refresh", "POST", RemoteRequest::Route::Refresh},
    {"/next", "POST", RemoteRequest::Route::Next},
    {"/open", "POST", RemoteRequest::Route::Open},
};

} // namespace

bool RemoteRequest::sameToken(QByteArrayView given, QByteArrayView token)
{
    if (token.isEmpty() || given.size() != token.size()) {
        return false;
    }
    unsigned char differ = 0;
    for (qsizetype i = 0; i < token.size(); ++i) {
        differ |= static_cast<unsigned char>(given[i] ^ token[i]);
    }
    return differ == 0;
}

RemoteRequest::Verdict RemoteRequest::judge(const Request& request, QByteArrayView token)
{
    const QByteArray bearer = request.authorization.trimmed();
    const bool tokenGiven = (bearer.startsWith("Bearer ") && sameToken(bearer.mid(7).trimmed(), token)) ||
                            sameToken(request.queryToken, token);
    // Away from this machine nothing is told without the token, not even which paths there are.
    if (!request.loopbackOnly && !tokenGiven) {
        return {Route::None, 401, {}};
    }
    const Path* found = nullptr;
    for (const Path& p : kPaths) {
        if (request.path == QLatin1String(p.path)) {
            found = &p;
        }
    }
    if (found == nullptr) {
        return {Route::None, 404, {}};
    }
    if (request.method != found->method) {
        return {Route::None, 405, found->method};
    }
    if (request.method == "POST" && !tokenGiven) { // every action needs the token
        return {Route::None, 401, {}};
    }
    if (request.bodyBytes > MaxBodyBytes) {
        return {Route::None, 413, {}};
    }
    return {found->route, 200, {}};
}
