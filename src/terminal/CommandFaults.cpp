#include "terminal/CommandFaults.h"

#include "terminal/CommandReplies.h"

std::optional<std::optional<ServerReply>> CommandFaults::instead(const QString& document)
{
    if (faults.empty())
        return std::nullopt;
    QString path = document;
    while (path.startsWith('/'))
        path.remove(0, 1);
    int count = 0;
    {
        std::lock_guard lock(mutex);
        count = ++counts[path];
    }
    for (const CommandFault& fault : faults) {
        if (fault.command != path || count % fault.every != 0)
            continue;
        if (fault.kind == CommandFault::Kind::Drop)
            return std::optional<ServerReply>();
        ServerReply reply;
        reply.contentType = QStringLiteral("application/json;charset=UTF-8");
        reply.body = QByteArray::fromStdString(
            CommandReplies::fail(QStringLiteral("模拟故障: 第%1次%2").arg(count).arg(path)).dump());
        return std::optional<ServerReply>(reply);
    }
    return std::nullopt;
}
