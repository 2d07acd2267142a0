#pragma once

#include "common/Picture.h"

#include <QByteArray>
#include <QString>

// Base64 (RFC 4648 alphabet) with CR LF after every 76 characters of output, so
// a text whose length is a multiple of 76 ends in CR LF; no bytes give no text.
QString toBase64Lines(const QByteArray& bytes);

// The picture's file bytes, exactly as loaded, as Base64 lines.
QString PictureToBase64(const Picture& picture);
