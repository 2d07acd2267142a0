#include "device/RequestTarget.h"

#include "common/Failure.h"
#include "common/TextCodec.h"

RequestTarget SplitCommandUrl(const QString& url)
{
    QByteArray text = TextCodec::toGbk(url).replace('\\', '/');
    const qsizetype fragment = text.indexOf('#');
    if (fragment >= 0)
        text.truncate(fragment);
    const qsizetype scheme = text.indexOf("://");
    if (scheme >= 0)
        text.remove(0, scheme + 3);

    qsizetype pathStart = text.indexOf('/');
    const qsizetype queryStart = text.indexOf('?');
    if (queryStart >= 0 && (pathStart < 0 || queryStart < pathStart))
        pathStart = queryStart;
    const QByteArray authority = pathStart >= 0 ? text.left(pathStart) : text;

    RequestTarget target;
    target.pathAndQuery = pathStart >= 0 ? text.mid(pathStart) : QByteArray("/");
    if (!target.pathAndQuery.startsWith('/'))
        target.pathAndQuery.prepend('/');
    const qsizetype colon = authority.lastIndexOf(':');
    target.host = colon >= 0 ? authority.left(colon) : authority;
    if (colon >= 0) {
        const QByteArray portText = authority.mid(colon + 1);
        bool ok = false;
        target.port = portText.toInt(&ok);
        if (!ok || target.port < 0 || target.port > 65535)
            throw Failure(QStringLiteral("Invalid port number: ") + QString::fromLatin1(portText));
    }
    return target;
}
