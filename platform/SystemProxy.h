#pragma once

#include <QByteArray>
#include <QList>
#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QUrl>

// Which proxy the system names for a URL, so the download and the posts take
// the same road: on Windows the system settings, automatic configuration
// scripts included; elsewhere http_proxy, https_proxy and no_proxy.
// Loopback hosts get no exception of their own, only what no_proxy says.
namespace SystemProxy {

// NoProxy for a direct connection.
QNetworkProxy forQuery(const QNetworkProxyQuery& query);
QNetworkProxy forUrl(const QUrl& url);

// The proxy as libcurl's CURLOPT_PROXY takes it, "scheme://host:port" without
// credentials (those travel apart), or "" for a direct connection.
QByteArray curlAddress(const QNetworkProxy& proxy);

// For QNetworkAccessManager::setProxyFactory: every request asks anew.
class Factory : public QNetworkProxyFactory
{
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override { return {forQuery(query)}; }
};

} // namespace SystemProxy
