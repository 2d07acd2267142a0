#include "server/WindowStepHandler.h"

#include "server/RequestDispatch.h"

HttpServer::Handler windowStepHandler(WindowBridge& bridge, ServerWindow& window)
{
    return [&bridge, &window](const ServerRequest& request) -> std::optional<ServerReply> {
        ServerReply reply;
        if (!bridge.run([&] { reply = HTTPServerCommandGet(request, window); }))
            return std::nullopt;
        return reply;
    };
}

HttpServer::ClosureNotice windowClosureNotice(WindowBridge& bridge, ServerWindow& window)
{
    return [&bridge, &window](const QString& line) {
        bridge.runLater([&window, line] { window.appendLine(LogPane::mmoLog, line); });
    };
}
