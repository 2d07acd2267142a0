#pragma once

#include <QString>

// A simulator must not spray a real network by surprise: unless told otherwise
// its callbacks go only to loopback hosts (127.0.0.0/8, ::1, "localhost").
bool isLoopbackUrl(const QString& url);

// The service address followed by a request's name, with one "/" between.
QString serviceUrl(const QString& base, const QString& name);
