#include "core/AddressRules.h"

bool AddressRules::opens(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https")) {
        return !url.host().isEmpty();
    }
    if (scheme == QLatin1String("file")) {
        return url.isLocalFile();
    }
    return url.toString() == QLatin1String("about:blank");
}

QString AddressRules::refusal(const QUrl& url)
{
    const QString scheme =
        url.scheme().isEmpty() ? url.toString().section(QLatin1Char(':'), 0, 0) : url.scheme();
    return QStringLiteral("Skyvane does not open %1: addresses").arg(scheme.left(20));
}

QString AddressRules::refusalFromAfar(const QUrl& url, const QString& asked)
{
    if (!url.isValid() || !isWeb(url)) {
        return QStringLiteral("\"%1\" is not a web address (http or https)").arg(asked.left(200));
    }
    return opens(url) ? QString() : refusal(url);
}

bool AddressRules::sameSite(const QString& a, const QString& b)
{
    const QUrl x(a), y(b);
    return isWeb(x) && isWeb(y) && !x.host().isEmpty() &&
           x.host().compare(y.host(), Qt::CaseInsensitive) == 0;
}

QString AddressRules::kept(const QUrl& url)
{
    return QString::fromLatin1(url.toEncoded());
}
