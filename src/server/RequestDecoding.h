#pragma once

#include "server/ServerMessages.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Turns the parts of a received HTTP request into the handler's ServerRequest.
namespace RequestDecoding {

// "%XY" becomes that byte and "+" a blank; a "%" without two hex digits stays.
QByteArray percentDecode(const QByteArray& text);

// The query string split at "&", each piece percent-decoded; empty pieces carry
// no entry.
QStringList decodeParams(const QByteArray& query);

// The request's parameter list text: each entry followed by CR LF.
QString parameterListText(const QStringList& params);

// target is the request target byte for byte; contentLength is -1 when the
// header is absent.
ServerRequest makeRequest(const QByteArray& target, const QByteArray& contentType, qint64 contentLength,
                          const QByteArray& body);

} // namespace RequestDecoding
