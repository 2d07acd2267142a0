#include "device/CookieJar.h"

#include <algorithm>

void CookieJar::keep(const QByteArray& host, const QByteArray& setCookie)
{
    const qsizetype end = setCookie.indexOf(';');
    const QByteArray pair = end >= 0 ? setCookie.left(end) : setCookie;
    const qsizetype equals = pair.indexOf('=');
    if (equals <= 0)
        return;
    const QByteArray name = pair.left(equals).trimmed();
    const QByteArray value = pair.mid(equals + 1).trimmed();
    auto& cookies = byHost_[host.toLower()];
    auto cookie =
        std::find_if(cookies.begin(), cookies.end(), [&name](const auto& c) { return c.first == name; });
    if (cookie != cookies.end())
        cookie->second = value;
    else
        cookies.emplace_back(name, value);
}

QByteArray CookieJar::headerFor(const QByteArray& host) const
{
    const auto found = byHost_.find(host.toLower());
    if (found == byHost_.end())
        return {};
    QByteArray header;
    for (const auto& [name, value] : found->second) {
        if (!header.isEmpty())
            header += "; ";
        header += name + '=' + value;
    }
    return header;
}
