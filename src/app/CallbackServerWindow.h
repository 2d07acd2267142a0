#pragma once

#include "server/OrderNumbers.h"
#include "server/ServerWindow.h"

class QComboBox;
class QLineEdit;
class ServiceClock;
class TfrmMain;

// The main window as the server's routes see it: its log panes, the fields they
// read and write, and the uploaded-photo file in the program folder. Used on the
// window thread only.
class CallbackServerWindow : public ServerWindow
{
public:
    explicit CallbackServerWindow(TfrmMain& window);

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
    QLineEdit* edit(ServiceText field) const;

    TfrmMain& window;
    ServiceClock* clock;
    OrderNumberSource orders;
};
