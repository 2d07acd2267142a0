#pragma once

#include "common/Failure.h"
#include "server/ServerWindow.h"

#include <QList>
#include <QPair>

// Stands in for the main window: records what the routes log and show.
class FakeServerWindow : public ServerWindow
{
public:
    void appendLine(LogPane pane, const QString& line) override { lines += {pane, line}; }
    HeartbeatFields heartbeatFields() override { return heartbeat; }
    void showUploadedPhoto(const QByteArray& content) override
    {
        if (photoFails)
            throw Failure(QStringLiteral("cannot write recv.jpg"));
        photos += content;
    }

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
};
