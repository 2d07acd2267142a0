#include "terminal/CallbackPolicy.h"

#include <QStringList>
#include <QUrl>

namespace {

bool isLoopbackIpv4(const QString& host)
{
    const QStringList parts = host.split('.');
    if (parts.size() != 4)
        return false;
    for (const QString& part : parts) {
        bool isNumber = false;
        const int value = part.toInt(&isNumber);
        if (!isNumber || part.isEmpty() || part.size() > 3 || value < 0 || value > 255 ||
            part.startsWith('+'))
            return false;
    }
    return parts[0].toInt() == 127;
}

} // namespace

bool isLoopbackUrl(const QString& url)
{
    const QUrl parsed(url.trimmed(), QUrl::StrictMode);
    if (!parsed.isValid() || parsed.scheme() != QLatin1String("http"))
        return false;
    const QString host = parsed.host();
    return host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 ||
           host == QLatin1String("::1") || isLoopbackIpv4(host);
}

QString serviceUrl(const QString& base, const QString& name)
{
    return base.endsWith('/') ? base + name : base + '/' + name;
}
