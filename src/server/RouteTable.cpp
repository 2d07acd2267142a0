#include "server/RouteTable.h"

#include <array>
#include <utility>

namespace {

const std::array<std::pair<const char*, Route>, 14> kKeywords{{
    {"/attendance", Route::Attendance},
    {"/lan/QRCodeCallback", Route::QrCodeCallback},
    {"heartBeat", Route::HeartBeat},
    {"getTask", Route::GetTask},
    {"uploadTaskResults", Route::UploadTaskResults},
    {"queryAccount", Route::QueryAccount},
    {"onlineTrade", Route::OnlineTrade},
    {"queryTerminalSeq", Route::QueryTerminalSeq},
    {"revokeTerminalSeq", Route::RevokeTerminalSeq},
    {"queryTerminalSum", Route::QueryTerminalSum},
    {"queryOrderMenu", Route::QueryOrderMenu},
    {"confirmOrderMenu", Route::ConfirmOrderMenu},
    {"uploadRecords", Route::UploadRecords},
    {"uploadFaceImage", Route::UploadFaceImage},
}};

} // namespace

std::optional<Route> findRoute(const QString& document)
{
    for (const auto& [keyword, route] : kKeywords) {
        if (document.contains(QLatin1String(keyword), Qt::CaseSensitive))
            return route;
    }
    return std::nullopt;
}

const char* routeKeyword(Route route)
{
    for (const auto& [keyword, candidate] : kKeywords) {
        if (candidate == route)
            return keyword;
    }
    return "";
}
