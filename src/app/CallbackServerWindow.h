#pragma once

#include "server/OrderNumbers.h"
#include "server/ServerWindow.h"

class ConsumptionReplyPage;
class ConsumptionTaskPage;
class DeviceSession;
class QObject;
class LogView;
class ServiceClock;

// The main window as the server's routes see it: the pages they read and
// write, their two log panes, and the uploaded-photo file in the program
// folder. Used on the window thread only.
class CallbackServerWindow : public ServerWindow
{
public:
    struct Pages
    {
        LogView* deviceLog;
        LogView* serviceLog;
        const ConsumptionTaskPage& tasks;
        ConsumptionReplyPage& replies;
    };

    CallbackServerWindow(QObject* window, const DeviceSession& session, Pages pages);

    void appendLine(LogPane pane, const QString& line) override;
    HeartbeatFields heartbeatFields() override;
    void showUploadedPhoto(const QByteArray& content) override;

    TaskFields taskFields() override;
    AccountFields accountFields() override;
    TradeFields tradeFields() override;
    RecordFields recordFields() override;
    RevocationFields revocationFields() override;
    QString memoText(ServiceMemo memo) override;
    void setText(ServiceText field, const QString& text) override;
    void select(ServiceChoice field, int index) override;
    ServiceTime serviceTime() override;
    QString newOrderNumber(const QDateTime& now) override;

private:
    const DeviceSession& session;
    Pages pages;
    ServiceClock* clock;
    OrderNumberSource orders;
};
