#pragma once

#include "common/Failure.h"
#include "server/OrderNumbers.h"
#include "server/ServerWindow.h"

#include <QList>
#include <QMap>
#include <QPair>

// Stands in for the main window: records what the routes log and show, and holds
// the consumption fields with the window's defaults.
class FakeServerWindow : public ServerWindow
{
public:
    FakeServerWindow();

    void appendLine(LogPane pane, const QString& line) override { lines += {pane, line}; }
    HeartbeatFields heartbeatFields() override { return heartbeat; }
    void showUploadedPhoto(const QByteArray& content) override
    {
        if (photoFails)
            throw Failure(QStringLiteral("cannot write recv.jpg"));
        photos += content;
    }

    TaskFields taskFields() override { return task; }
    AccountFields accountFields() override { return account; }
    TradeFields tradeFields() override { return trade; }
    RecordFields recordFields() override { return record; }
    RevocationFields revocationFields() override { return revocation; }
    QString memoText(ServiceMemo memo) override { return memos.value(memo); }
    void setText(ServiceText field, const QString& text) override;
    void select(ServiceChoice field, int index) override;
    ServiceTime serviceTime() override { return time; }
    QString newOrderNumber(const QDateTime& now) override { return orders.next(now); }

    QStringList linesOf(LogPane pane) const
    {
        QStringList texts;
        for (const auto& [linePane, text] : lines) {
            if (linePane == pane)
                texts += text;
        }
        return texts;
    }

    QList<QPair<LogPane, QString>> lines;
    HeartbeatFields heartbeat;
    QList<QByteArray> photos;
    bool photoFails = false;

    TaskFields task;
    AccountFields account;
    TradeFields trade;
    RecordFields record;
    RevocationFields revocation;
    QMap<ServiceMemo, QString> memos;
    // Every text the routes wrote, last value per field.
    QMap<ServiceText, QString> written;
    ServiceTime time;
    OrderNumberSource orders;
};
