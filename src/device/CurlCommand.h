#pragma once

#include <QByteArray>
#include <QString>

// A bash command line that sends the recorded device request again with
// curl: the same method, target, HTTP version, headers in their order, and
// body byte for byte. Bytes a shell would change are quoted in $'...' form.
QString CurlCommand(const QByteArray& rawRequest);
