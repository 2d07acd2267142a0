#pragma once

#include "server/ServerWindow.h"

// A window for the routes that keeps nothing: the fuzzer looks for crashes,
// hangs and bad reads, not for what a route writes.
class FuzzServerWindow : public ServerWindow
{
public:
    void appendLine(LogPane, const QString& line) override { logged += line.size(); }
    HeartbeatFields heartbeatFields() override { return {true, false}; }
    void showUploadedPhoto(const QByteArray& content) override { shown += content.size(); }

    qsizetype logged = 0;
    qsizetype shown = 0;
};
