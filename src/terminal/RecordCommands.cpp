// Recognition records and their photos below "IdentifyRecords".
#include "terminal/TerminalCommands.h"

#include "terminal/CommandReplies.h"
#include "terminal/PhotoStore.h"

#include <algorithm>
#include <limits>

using namespace CommandReplies;

Json TerminalCommands::newFindRecords(const Call& call)
{
    const QString personId = call.values.text(QStringLiteral("personId"));
    const QString startText = call.values.text(QStringLiteral("startTime"));
    const QString endText = call.values.text(QStringLiteral("endTime"));
    const qint64 start = startText == QLatin1String("0") ? 0 : localMs(startText);
    const qint64 end =
        endText == QLatin1String("0") ? std::numeric_limits<qint64>::max() : localMs(endText) + 999;
    bool lengthOk = false;
    bool indexOk = false;
    const int length = call.values.text(QStringLiteral("length")).toInt(&lengthOk);
    const int index = call.values.text(QStringLiteral("index")).toInt(&indexOk);
    if (start < 0 || end < 0)
        return fail(QStringLiteral("时间格式无效"));
    if (!lengthOk || !indexOk || length < 1 || index < 0)
        return fail(QStringLiteral("分页参数无效"));
    const bool all = personId.isEmpty() || personId == QLatin1String("-1");
    const bool newestFirst = call.values.text(QStringLiteral("order")) != QLatin1String("1");
    return store.with([&](TerminalState& state) {
        std::vector<const Record*> matching;
        for (const Record& record : state.records) {
            if ((all || record.personId == personId) && record.timeMs >= start && record.timeMs <= end)
                matching.push_back(&record);
        }
        if (newestFirst)
            std::reverse(matching.begin(), matching.end());
        Json list = Json::array();
        for (qsizetype i = qsizetype(index) * length;
             i < qsizetype(index + 1) * length && i < qsizetype(matching.size()); ++i) {
            const Record& record = *matching[static_cast<std::size_t>(i)];
            list.push_back({{"id", record.id},
                            {"personId", s(record.personId)},
                            {"state", 0},
                            {"type", 0},
                            {"time", std::to_string(record.timeMs)},
                            {"path", s('/' + record.photoPath)}});
        }
        const Json page = {
            {"index", index}, {"length", length}, {"size", list.size()}, {"total", matching.size()}};
        return ok(QStringLiteral("查询成功"), {{"pageInfo", page}, {"records", list}});
    });
}

Json TerminalCommands::deleteRecords(const Call& call, qint64 startMs, qint64 endMs)
{
    const QString personId = call.values.text(QStringLiteral("personId"));
    const bool all = personId.isEmpty() || personId == QLatin1String("-1");
    std::vector<QString> photoPaths;
    store.with([&](TerminalState& state) {
        std::erase_if(state.records, [&](const Record& record) {
            const bool gone =
                (all || record.personId == personId) && record.timeMs >= startMs && record.timeMs <= endMs;
            if (gone)
                photoPaths.push_back(record.photoPath);
            return gone;
        });
    });
    for (const QString& path : photoPaths)
        photos.remove(path);
    return ok(QStringLiteral("删除成功"), static_cast<qint64>(photoPaths.size()));
}

Json TerminalCommands::newDeleteRecords(const Call& call)
{
    const qint64 start = localMs(call.values.text(QStringLiteral("startTime")));
    const qint64 end = localMs(call.values.text(QStringLiteral("endTime")));
    if (start < 0 || end < 0)
        return fail(QStringLiteral("时间格式无效"));
    return deleteRecords(call, start, end);
}

Json TerminalCommands::newDeleteRecordsByUnixTime(const Call& call)
{
    bool startOk = false;
    bool endOk = false;
    const qint64 start = call.values.text(QStringLiteral("startTime")).toLongLong(&startOk);
    const qint64 end = call.values.text(QStringLiteral("endTime")).toLongLong(&endOk);
    if (!startOk || !endOk)
        return fail(QStringLiteral("时间格式无效"));
    return deleteRecords(call, start, end);
}
