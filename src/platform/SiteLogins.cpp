#include "platform/SiteLogins.h"

#include <QAuthenticator>

SiteLogins::Answer SiteLogins::answer(const QString& site, QAuthenticator* authenticator, int load,
                                      bool unattended)
{
    Login& login = m_logins[site];
    if (login.givenInLoad >= 0 && login.givenInLoad != load) {
        login.givenInLoad = load;
        authenticator->setUser(login.user);
        authenticator->setPassword(login.password);
        return Answer::Given;
    }
    const bool again = login.givenInLoad == load;
    if ((login.asked && !again) || unattended || !m_ask) {
        return Answer::Refused;
    }
    login.asked = true;
    login.givenInLoad = -1;
    QString user = login.user, password;
    if (!m_ask(site, authenticator->realm(), &user, &password)) {
        return Answer::Cancelled;
    }
    authenticator->setUser(user);
    authenticator->setPassword(password);
    login.user = user;
    login.password = password;
    login.givenInLoad = load;
    return Answer::Given;
}
