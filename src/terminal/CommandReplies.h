#pragma once

#include "terminal/FormValues.h"
#include "terminal/TerminalState.h"

#include <QString>
#include <initializer_list>
#include <string>

// The common parts of the command API's replies and of reading what the tool sent.
namespace CommandReplies {

inline std::string s(const QString& text)
{
    return text.toStdString();
}

// A member's text: a string's value, any other value's JSON, null as empty.
QString q(const Json& value);

// {"result":1,"success":true,"msg":...} and "data" when there is any.
Json ok(const QString& message, Json data = nullptr);
// {"result":0,"success":false,"msg":...}
Json fail(const QString& message);

// A JSON text that the tool built from a template; a discarded value when broken.
Json parseSent(const QString& text);

// "yyyy-mm-dd hh:nn:ss" in local time as milliseconds; -1 when it is no such text.
qint64 localMs(const QString& text);

// The named form fields that were sent, as one object of texts.
Json formObject(const FormValues& values, std::initializer_list<const char*> names);

extern const QString kNoPerson;

} // namespace CommandReplies
