#include "device/CommandEnvelope.h"

#include "common/TextCodec.h"

QString CommandUrl(const DeviceConnection& connection, const QString& path)
{
    return QStringLiteral("http://") + connection.deviceHost + ':' + QString::number(connection.devicePort) +
           '/' + path;
}

QByteArray PostForm(HttpClient& client, const QString& url, const FormFields& fields)
{
    return PostEncodedForm(client, url, fields.encoded());
}

QByteArray PostEncodedForm(HttpClient& client, const QString& url, const QByteArray& encodedBody)
{
    client.setContentType(kFormContentType);
    return client.send(HttpClient::Method::Post, url, trimBlanksAndControls(encodedBody));
}

QByteArray PostText(HttpClient& client, const QString& url, const QString& body)
{
    return client.send(HttpClient::Method::Post, url, TextCodec::toGbk(body));
}

QByteArray PutText(HttpClient& client, const QString& url, const QString& body)
{
    return client.send(HttpClient::Method::Put, url, TextCodec::toGbk(body));
}

QByteArray GetText(HttpClient& client, const QString& url)
{
    return client.send(HttpClient::Method::Get, url, {});
}
