#include "server/ClosureReport.h"

#include <QStringList>

ClosureReport::ClosureReport(std::chrono::milliseconds period, Notice notice, Schedule schedule)
    : period(period), notice(std::move(notice)), schedule(std::move(schedule)),
      lastReport(std::chrono::steady_clock::now() - period)
{
}

void ClosureReport::note(CloseReason reason)
{
    if (!notice)
        return;
    std::lock_guard lock(mutex);
    ++counts[static_cast<int>(reason)];
    if (scheduled)
        return;
    scheduled = true;
    const auto due = lastReport + period - std::chrono::steady_clock::now();
    schedule(
        std::max(std::chrono::milliseconds(0), std::chrono::duration_cast<std::chrono::milliseconds>(due)));
}

void ClosureReport::flush()
{
    std::array<int, kCloseReasons> reported{};
    {
        std::lock_guard lock(mutex);
        reported = counts;
        counts = {};
        scheduled = false;
        lastReport = std::chrono::steady_clock::now();
    }
    notice(closureLine(reported));
}

QString closureLine(const std::array<int, kCloseReasons>& counts)
{
    static const char* const kReasons[kCloseReasons] = {"请求头超时", "正文过慢", "无数据超时",
                                                        "连接数满让位", "内存不足(503)"};
    int total = 0;
    QStringList parts;
    for (int i = 0; i < kCloseReasons; ++i) {
        total += counts[i];
        if (counts[i] > 0)
            parts += QString::fromUtf8(kReasons[i]) + QString::number(counts[i]);
    }
    return QString::fromUtf8("HttpServer关闭连接%1个: ").arg(total) + parts.join(QStringLiteral(", "));
}
