#pragma once

#include <QByteArray>
#include <QString>

// The two log panes the server writes.
enum class LogPane
{
    mmoLog,
    mmMsg,
};

// The radio buttons the heartbeat answers from.
struct HeartbeatFields
{
    bool haveTask = false;
    bool haveNoTask = false;
};

// What the routes need from the main window. It is used only inside a request's
// window step, on the window thread, so each request sees and changes the window
// in one piece.
class ServerWindow
{
public:
    virtual ~ServerWindow() = default;

    virtual void appendLine(LogPane pane, const QString& line) = 0;
    virtual HeartbeatFields heartbeatFields() = 0;
    // Replaces the uploaded-photo file with these bytes and opens it in the viewer;
    // throws Failure when the file cannot be written.
    virtual void showUploadedPhoto(const QByteArray& content) = 0;
};
