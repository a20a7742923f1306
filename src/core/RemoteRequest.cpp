#include "core/RemoteRequest.h"

#include <algorithm>

namespace {

struct Path
{
    const char* path;
    const char* method;
    RemoteRequest::Route route;
};

constexpr Path Paths[] = {
    {"/", "GET", RemoteRequest::Route::Page},
    {"/status.json", "GET", RemoteRequest::Route::Status},
    {"/picture.png", "GET", RemoteRequest::Route::Picture},
    {"/loop.webp", "GET", RemoteRequest::Route::Loop},
    {"/loop.gif", "GET", RemoteRequest::Route::LoopGif},
    {"/loop.mp4", "GET", RemoteRequest::Route::LoopMp4},
    {"/metrics", "GET", RemoteRequest::Route::Metrics},
    {"/refresh", "POST", RemoteRequest::Route::Refresh},
    {"/next", "POST", RemoteRequest::Route::Next},
    {"/open", "POST", RemoteRequest::Route::Open},
};

// "127.0.0.1:8080", "localhost", "[::1]:8080"...: a name of this machine's loopback.
bool loopbackName(const QByteArray& host)
{
    const QByteArray name = host.startsWith('[')
                                ? host.left(host.indexOf(']') + 1)
                                : host.left(host.contains(':') ? host.indexOf(':') : host.size());
    const bool digitsAndDots =
        std::all_of(name.cbegin(), name.cend(), [](char c) { return c == '.' || (c >= '0' && c <= '9'); });
    return name == "localhost" || name == "[::1]" || (name.startsWith("127.") && digitsAndDots);
}

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
    // The scheme's name is not case-sensitive; one or more spaces come before the token.
    const QByteArray bearer = request.authorization.trimmed();
    const bool schemeBearer = bearer.size() > 7 && bearer.left(7).toLower() == "bearer ";
    const bool tokenGiven =
        (schemeBearer && sameToken(bearer.mid(7).trimmed(), token)) || sameToken(request.queryToken, token);
    // Away from this machine nothing is told without the token, not even which paths there are.
    if (!request.loopbackOnly && !tokenGiven) {
        return {Route::None, 401, {}, tokenGiven};
    }
    // On loopback, a request for another name is a web page that had that name point here (DNS
    // rebinding): it reads nothing.
    if (request.loopbackOnly && !tokenGiven && !request.host.isEmpty() && !loopbackName(request.host)) {
        return {Route::None, 403, {}, tokenGiven};
    }
    const Path* found = nullptr;
    for (const Path& p : Paths) {
        if (request.path == QLatin1String(p.path)) {
            found = &p;
        }
    }
    if (found == nullptr) {
        return {Route::None, 404, {}, tokenGiven};
    }
    if (request.method != found->method) {
        return {Route::None, 405, found->method, tokenGiven};
    }
    if (request.method == "POST" && !tokenGiven) { // every action needs the token
        return {Route::None, 401, {}, tokenGiven};
    }
    if (request.bodyBytes > MaxBodyBytes) {
        return {Route::None, 413, {}, tokenGiven};
    }
    return {found->route, 200, {}, tokenGiven};
}
