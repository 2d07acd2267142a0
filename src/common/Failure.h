#pragma once

#include <QString>
#include <stdexcept>

// An error whose text is meant for the user: handlers that do not catch it end
// in the general error box, which shows exactly this text.
class Failure : public std::runtime_error
{
public:
    explicit Failure(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString text() const { return QString::fromUtf8(what()); }
};
