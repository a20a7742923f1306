#pragma once

#include "core/UpdateProbe.h"

#include <QObject>

#include <functional>

class QNetworkAccessManager;
class QNetworkCookieJar;
class QNetworkReply;
class QWebEngineProfile;

// Asks a site about a page or a picture as the engine's page would: with the profile's cookies (kept
// in step with its cookie store), its user agent, the system's proxies and the logins the user gave.
// A conditional GET is ended as soon as its answer's headers are in, so a change costs no more than
// a HEAD; every question gives up after a few seconds.
class NetworkUpdateProbe : public QObject, public UpdateProbe
{
    Q_OBJECT
public:
    static constexpr int AnswerWithinMs = 15000;

    // The login the user gave a site (by host name), if any.
    using KnownLogin = std::function<bool(const QString& host, QString* user, QString* password)>;

    NetworkUpdateProbe(QWebEngineProfile* profile, KnownLogin login, QObject* parent = nullptr);

    void ask(const QString& address, UpdateCheck::Ask how, const UpdateCheck::Answer& last, QObject* context,
             Done done) override;

private:
    QWebEngineProfile* m_profile;
    KnownLogin m_login;
    QNetworkAccessManager* m_network;
    QNetworkCookieJar* m_cookies;
};
