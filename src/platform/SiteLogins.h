#pragma once

#include <QHash>
#include <QString>

#include <functional>

class QAuthenticator;

// The user names and passwords sites asked for in this run, kept in memory only. A site is asked
// about once: later loads (the refreshes) are given what the user said; asked again in the same
// load, the answer was wrong and the user may try once more.
class SiteLogins
{
public:
    // Asks the user; false: the user cancelled.
    using Asker =
        std::function<bool(const QString& site, const QString& realm, QString* user, QString* password)>;

    enum class Answer
    {
        Given,     // the authenticator has them
        Cancelled, // the user said no
        Refused,   // nobody to ask (nobody there, or asked already): the site's refusal is shown
    };

    void setAsker(Asker asker) { m_ask = std::move(asker); }
    // load: the number of the load that asks; unattended: nobody is there to answer.
    Answer answer(const QString& site, QAuthenticator* authenticator, int load, bool unattended);
    // What the user last gave for a site (and the site took); false: nothing.
    bool known(const QString& site, QString* user, QString* password) const
    {
        const auto it = m_logins.constFind(site);
        if (it == m_logins.constEnd() || it->givenInLoad < 0) {
            return false;
        }
        *user = it->user;
        *password = it->password;
        return true;
    }

private:
    struct Login
    {
        bool asked = false;
        QString user, password;
        int givenInLoad = -1; // the load the credentials were last given in
    };

    Asker m_ask;
    QHash<QString, Login> m_logins; // by site
};
