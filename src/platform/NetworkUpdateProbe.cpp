#include "platform/NetworkUpdateProbe.h"

#include "platform/SystemProxies.h"

#include <QAuthenticator>
#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QPointer>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

#include <memory>

namespace {

UpdateCheck::Answer answerOf(const QNetworkReply* reply)
{
    UpdateCheck::Answer a;
    a.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    a.etag = reply->rawHeader("ETag").left(512);
    a.lastModified = reply->rawHeader("Last-Modified").left(128);
    bool ok = false;
    const qint64 length = reply->rawHeader("Content-Length").trimmed().toLongLong(&ok);
    a.length = ok && length >= 0 ? length : -1;
    return a;
}

} // namespace

NetworkUpdateProbe::NetworkUpdateProbe(QWebEngineProfile* profile, KnownLogin login, QObject* parent)
    : QObject(parent), m_profile(profile), m_login(std::move(login)),
      m_network(new QNetworkAccessManager(this)), m_cookies(new QNetworkCookieJar(m_network))
{
    m_network->setCookieJar(m_cookies);            // the manager takes it as its child
    m_network->setProxyFactory(new SystemProxies); // and owns this
    m_network->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    QWebEngineCookieStore* store = profile->cookieStore();
    connect(store, &QWebEngineCookieStore::cookieAdded, m_cookies,
            [jar = m_cookies](const QNetworkCookie& c) { jar->insertCookie(c); });
    connect(store, &QWebEngineCookieStore::cookieRemoved, m_cookies,
            [jar = m_cookies](const QNetworkCookie& c) { jar->deleteCookie(c); });
    store->loadAllCookies();
    connect(m_network, &QNetworkAccessManager::authenticationRequired, this,
            [this](QNetworkReply* reply, QAuthenticator* authenticator) {
                QString user, password;
                if (m_login && m_login(reply->url().host(), &user, &password)) {
                    authenticator->setUser(user);
                    authenticator->setPassword(password);
                } // otherwise the site's refusal is the answer
            });
}

void NetworkUpdateProbe::ask(const QString& address, UpdateCheck::Ask how, const UpdateCheck::Answer& last,
                             QObject* context, Done done)
{
    QNetworkRequest request{QUrl(address)};
    request.setTransferTimeout(AnswerWithinMs);
    request.setHeader(QNetworkRequest::UserAgentHeader, m_profile->httpUserAgent());
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    QNetworkReply* reply = nullptr;
    if (how == UpdateCheck::Ask::Conditional) {
        if (!last.etag.isEmpty()) {
            request.setRawHeader("If-None-Match", last.etag);
        }
        if (!last.lastModified.isEmpty()) {
            request.setRawHeader("If-Modified-Since", last.lastModified);
        }
        // Where the site has changed, a server that can sends a byte of it instead of the whole
        // picture before the question is cut short; the validators come all the same.
        request.setRawHeader("Range", "bytes=0-0");
        reply = m_network->get(request);
    } else {
        reply = m_network->head(request);
    }
    reply->setParent(this);
    // Told once: at the final answer's headers (a GET's body is not read) or at the end.
    auto told = std::make_shared<bool>(false);
    const auto tell = [reply, told, context = QPointer<QObject>(context), done](bool headersOnly) {
        if (*told) {
            return;
        }
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (headersOnly && (status == 0 || (status >= 300 && status < 400 && status != 304))) {
            return; // no answer yet, or a redirect on the way to it
        }
        *told = true;
        UpdateCheck::Answer a = answerOf(reply);
        if (!headersOnly && reply->error() != QNetworkReply::NoError && a.status == 0) {
            a = {};
        }
        if (context) {
            done(a);
        }
        reply->abort(); // from the headers on, the rest is not wanted
    };
    connect(reply, &QNetworkReply::metaDataChanged, this, [tell] { tell(true); });
    connect(reply, &QNetworkReply::finished, this, [tell, reply] {
        tell(false);
        reply->deleteLater();
    });
}
