#pragma once

#include <QString>
#include <QUrl>

// What Skyvane opens and how it keeps an address: only web pages (http, https), a local file the user
// chose and about:blank are opened; an address is kept in its encoded form (percent-encoding and
// punycode as they were sent), and one that does not fit its field is refused rather than cut.
class AddressRules
{
public:
    // Whether an address made from what the user typed, chose or stored may be opened.
    static bool opens(const QUrl& url);
    // The scheme to name in the refusal ("javascript:").
    static QString refusal(const QUrl& url);
    // Why an address asked for from another machine is not opened; empty when it is. From afar only
    // web addresses open: no file of this machine is shown to a remote client.
    static QString refusalFromAfar(const QUrl& url, const QString& asked);
    // An http or https address.
    static bool isWeb(const QUrl& url)
    {
        return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
    }
    // The address as it is kept: encoded, in ASCII.
    static QString kept(const QUrl& url);
    // The site list's and the start page's field lengths (bytes of the code page: ASCII here).
    static bool fits(const QString& keptAddress, int fieldLength)
    {
        return keptAddress.size() <= fieldLength;
    }
    // Whether two web addresses are on the same site: the same host, over http or https.
    static bool sameSite(const QString& a, const QString& b);
    // The address as it may be shown to anyone: without a user name and password in it.
    static QString withoutCredentials(const QString& address)
    {
        const QUrl url(address);
        return url.userInfo().isEmpty() ? address : url.adjusted(QUrl::RemoveUserInfo).toString();
    }
    // Whether two addresses are of the same page (a #part of it aside).
    static bool samePage(const QString& a, const QString& b)
    {
        return QUrl(a).adjusted(QUrl::RemoveFragment) == QUrl(b).adjusted(QUrl::RemoveFragment);
    }
};
