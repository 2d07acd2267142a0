#pragma once

#include "server/ServerMessages.h"
#include "server/ServerWindow.h"
#include "server/ServiceBody.h"

#include <functional>

// The common frame of the consumption routes: the body text is logged, and when
// it parses as JSON `answer` builds the reply text from it; otherwise the reply is
// "{"result": true}" and no field changes. The reply then goes out as JSON.
ServerReply answerServiceBody(const QString& bodyText, ServerWindow& window,
                              const std::function<QString(const ServiceBody&)>& answer);

// The same with the body's bytes taken as window text.
ServerReply answerServiceRequest(const ServerRequest& request, ServerWindow& window,
                                 const std::function<QString(const ServiceBody&)>& answer);

// A choice's selected index plus one, as decimal text (0 when none is selected).
QString choiceNumber(int index);

// The terminal's whole numbers as combo box indexes: the value minus one.
int indexOf(qint64 value);
