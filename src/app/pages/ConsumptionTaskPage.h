#pragma once

#include "server/ServerWindow.h"

#include <QWidget>
#include <memory>

class QTreeWidgetItem;
class UserActions;

namespace Ui {
class ConsumptionTaskPage;
}

// Page TabSheet3: the task the heartbeat announces and its parameters, and the
// meal-period table with its editor. The server's heartbeat and task routes
// read it.
class ConsumptionTaskPage : public QWidget
{
    Q_OBJECT

public:
    ConsumptionTaskPage(UserActions& actions, QWidget* parent);
    ~ConsumptionTaskPage() override;

    HeartbeatFields heartbeatFields() const;
    TaskFields taskFields() const;

private:
    void showChosenTaskGroup();
    void editMealPeriod(QTreeWidgetItem* item);
    void writeMealPeriod();

    std::unique_ptr<Ui::ConsumptionTaskPage> ui;
};
