#include "platform/SystemProxy.h"

namespace SystemProxy {

QNetworkProxy forQuery(const QNetworkProxyQuery& query)
{
    const QList<QNetworkProxy> proxies = QNetworkProxyFactory::systemProxyForQuery(query);
    if (proxies.isEmpty())
        return QNetworkProxy::NoProxy;
    const QNetworkProxy& first = proxies.first();
    // A value without a scheme ("host:port") comes back with no host; going
    // direct then is what the lookup does for most such values anyway.
    if (first.type() != QNetworkProxy::NoProxy && first.hostName().isEmpty())
        return QNetworkProxy::NoProxy;
    return first;
}

QNetworkProxy forUrl(const QUrl& url)
{
    return forQuery(QNetworkProxyQuery(url));
}

QByteArray curlAddress(const QNetworkProxy& proxy)
{
    QByteArray scheme;
    switch (proxy.type()) {
    case QNetworkProxy::HttpProxy:
    case QNetworkProxy::HttpCachingProxy:
        scheme = "http";
        break;
    case QNetworkProxy::Socks5Proxy:
        // As with Qt's own connections, the proxy resolves the host name.
        scheme = proxy.capabilities() & QNetworkProxy::HostNameLookupCapability ? "socks5h" : "socks5";
        break;
    default:
        return QByteArray("");
    }
    QUrl address;
    address.setScheme(QString::fromLatin1(scheme));
    address.setHost(proxy.hostName());
    address.setPort(proxy.port());
    return address.toEncoded();
}

} // namespace SystemProxy
