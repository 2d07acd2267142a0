#pragma once

#include <QString>
#include <optional>

// The server's routes in the order their keywords are tested.
enum class Route
{
    Attendance,
    QrCodeCallback,
    HeartBeat,
    GetTask,
    UploadTaskResults,
    QueryAccount,
    OnlineTrade,
    QueryTerminalSeq,
    RevokeTerminalSeq,
    QueryTerminalSum,
    QueryOrderMenu,
    ConfirmOrderMenu,
    UploadRecords,
    UploadFaceImage,
};

// The first route whose keyword occurs anywhere in the document (case-sensitive);
// none when no keyword occurs.
std::optional<Route> findRoute(const QString& document);

// The keyword that selects the route.
const char* routeKeyword(Route route);
