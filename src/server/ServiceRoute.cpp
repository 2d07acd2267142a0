#include "server/ServiceRoute.h"

#include "common/TextCodec.h"
#include "server/RequestDispatch.h"

#include <limits>

ServerReply answerServiceBody(const QString& bodyText, ServerWindow& window,
                              const std::function<QString(const ServiceBody&)>& answer)
{
    window.appendLine(LogPane::mmoLog, bodyText);
    const std::optional<ServiceBody> body = ParseServiceBody(bodyText);
    const QString text = body ? answer(*body) : QStringLiteral(R"({"result": true})");
    ServerReply reply;
    SendJsonReply(reply, window, text);
    return reply;
}

ServerReply answerServiceRequest(const ServerRequest& request, ServerWindow& window,
                                 const std::function<QString(const ServiceBody&)>& answer)
{
    return answerServiceBody(TextCodec::fromGbk(request.body), window, answer);
}

QString choiceNumber(int index)
{
    return QString::number(index + 1);
}

int indexOf(qint64 value)
{
    if (value < 1 || value > std::numeric_limits<int>::max())
        return -1;
    return int(value - 1);
}
