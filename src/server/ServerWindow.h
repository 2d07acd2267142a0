#pragma once

#include "server/ServiceFields.h"

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

    // The consumption pages.
    virtual TaskFields taskFields() = 0;
    virtual AccountFields accountFields() = 0;
    virtual TradeFields tradeFields() = 0;
    virtual RecordFields recordFields() = 0;
    virtual RevocationFields revocationFields() = 0;
    // The memo's text with its lines joined by CR LF.
    virtual QString memoText(ServiceMemo memo) = 0;
    virtual void setText(ServiceText field, const QString& text) = 0;
    // An index outside the items leaves no item selected.
    virtual void select(ServiceChoice field, int index) = 0;

    virtual ServiceTime serviceTime() = 0;
    // A fifteen-digit order number for a trade at `now`, never one handed out before.
    virtual QString newOrderNumber(const QDateTime& now) = 0;
};
