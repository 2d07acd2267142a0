#pragma once

#include "common/TrafficRecord.h"

#include <QHash>
#include <QString>

class QWidget;

// What the traffic panel shows for the button or route an exchange belongs to.
// Exchanges are recorded under a button's object name; the panel shows the
// caption the user knows it by, with that name after it.
class TrafficContextNames
{
public:
    // Takes the captions of the window's buttons as its forms give them, before
    // any handler changes one (btnLink's reads "销毁连接" once connected).
    explicit TrafficContextNames(const QWidget& window);

    // A device command's or FTP fetch's button as "caption (name)", or its name
    // alone when it has no caption; a server request's route keyword, or
    // "未匹配" when it matched no route.
    QString shown(TrafficRecord::Role role, const QString& context) const;

private:
    QHash<QString, QString> captions;
};
