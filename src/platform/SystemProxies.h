#pragma once

#include <QNetworkProxyFactory>

// The proxies the system's settings name for each request, as the engine's own requests use them.
class SystemProxies : public QNetworkProxyFactory
{
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override
    {
        return systemProxyForQuery(query);
    }
};
