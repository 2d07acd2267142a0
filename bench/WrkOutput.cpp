#include "WrkOutput.h"

#include <QRegularExpression>

namespace {

double microseconds(const QString& value, const QString& unit)
{
    const double number = value.toDouble();
    if (unit == "us")
        return number;
    if (unit == "ms")
        return number * 1000;
    if (unit == "s")
        return number * 1e6;
    return number * 60e6;
}

} // namespace

WrkResult parseWrk(const QString& output)
{
    WrkResult result;
    result.requestsPerSecond =
        QRegularExpression(R"(Requests/sec:\s+([\d.]+))").match(output).captured(1).toDouble();
    result.requests = QRegularExpression(R"((\d+) requests in)").match(output).captured(1).toLongLong();
    const QRegularExpression percentile(R"(^\s+(50|99)%\s+([\d.]+)(us|ms|s|m)\s*$)",
                                        QRegularExpression::MultilineOption);
    for (auto it = percentile.globalMatch(output); it.hasNext();) {
        const auto match = it.next();
        const double value = microseconds(match.captured(2), match.captured(3));
        (match.captured(1) == "50" ? result.p50Microseconds : result.p99Microseconds) = value;
    }
    for (auto it = QRegularExpression(R"(Socket errors:[^\n]*|Non-2xx[^\n]*)").globalMatch(output);
         it.hasNext();)
        result.errors += it.next().captured(0).simplified() + "; ";
    return result;
}
