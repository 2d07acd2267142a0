#pragma once

#include <QByteArray>
#include <map>
#include <utility>
#include <vector>

// The cookies that replies set, kept per host for the client's lifetime and
// sent back to that host in the order they were first set.
class CookieJar
{
public:
    // Takes the name=value pair of one Set-Cookie value; attributes are ignored.
    void keep(const QByteArray& host, const QByteArray& setCookie);
    // The Cookie header's value for that host; empty when it has none.
    QByteArray headerFor(const QByteArray& host) const;

private:
    std::map<QByteArray, std::vector<std::pair<QByteArray, QByteArray>>> byHost_;
};
