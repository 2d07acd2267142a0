#pragma once

#include "server/ServerWindow.h"

class TfrmMain;

// The main window as the server's routes see it: its log panes, the fields they
// read and the uploaded-photo file in the program folder. Used on the window
// thread only.
class CallbackServerWindow : public ServerWindow
{
public:
    explicit CallbackServerWindow(TfrmMain& window) : window(window) {}

    void appendLine(LogPane pane, const QString& line) override;
    HeartbeatFields heartbeatFields() override;
    void showUploadedPhoto(const QByteArray& content) override;

private:
    TfrmMain& window;
};
