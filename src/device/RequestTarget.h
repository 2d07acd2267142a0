#pragma once

#include <QByteArray>
#include <QString>

// Where a command URL sends its request, as the bytes that go on the wire.
struct RequestTarget
{
    QByteArray host;
    int port = 80;
    QByteArray pathAndQuery; // the request line's target, starting with "/"
};

// Splits "http://host:port/path?query". A backslash counts as a slash and
// everything from "#" on is dropped; the rest of the path and query is kept
// byte for byte (GBK), without any escaping. A port that is not a number
// throws Failure.
RequestTarget SplitCommandUrl(const QString& url);
