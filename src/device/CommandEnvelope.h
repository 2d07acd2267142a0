#pragma once

#include "device/DeviceConnection.h"
#include "device/FormFields.h"
#include "device/HttpClient.h"

#include <QByteArray>
#include <QString>

// The four ways every device command is sent; each returns the reply body's
// bytes and throws Failure when the transfer fails or the status is not 2xx.

// "http://" + host + ":" + port + "/" + path; the path may carry a query string,
// which goes out unescaped.
QString CommandUrl(const DeviceConnection& connection, const QString& path);

// A form POST; the client's content type becomes the form type for good.
QByteArray PostForm(HttpClient& client, const QString& url, const FormFields& fields);
// A form POST of a body the command has already encoded itself. A body with
// nothing to trim is sent as it is, without a copy.
QByteArray PostEncodedForm(HttpClient& client, const QString& url, const QByteArray& encodedBody);
// A POST whose body is the text's GBK bytes, sent as they are.
QByteArray PostText(HttpClient& client, const QString& url, const QString& body);
QByteArray PutText(HttpClient& client, const QString& url, const QString& body);
QByteArray GetText(HttpClient& client, const QString& url);

inline const QByteArray kFormContentType = "application/x-www-form-urlencoded";
