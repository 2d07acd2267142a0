#include "app/CallbackServer.h"

#include "common/Failure.h"
#include "server/HttpServer.h"
#include "server/WindowBridge.h"
#include "server/WindowStepHandler.h"

#include <QWidget>

CallbackServer::CallbackServer(QWidget* window, std::unique_ptr<ServerWindow> routesWindow,
                               TrafficLog& traffic)
    : bridge(new WindowBridge(window)), routesWindow(std::move(routesWindow))
{
    bridge->setObjectName(QStringLiteral("callbackBridge"));
    server = std::make_unique<HttpServer>(
        [this, answer = windowStepHandler(*bridge, *this->routesWindow)](const ServerRequest& request) {
            if (const std::optional<CallbackSighting> sighting = SightingOf(request))
                activity_.note(*sighting);
            return answer(request);
        });
    server->setClosureNotice(windowClosureNotice(*bridge, *this->routesWindow));
    server->setTrafficLog(&traffic);
}

CallbackServer::~CallbackServer()
{
    stop();
}

void CallbackServer::start(const QString& address, std::uint16_t port)
{
    try {
        bridge->open();
        server->start(address, port);
    } catch (const Failure&) {
        bridge->close();
        throw;
    }
}

void CallbackServer::stop()
{
    bridge->close();
    server->stop();
}
