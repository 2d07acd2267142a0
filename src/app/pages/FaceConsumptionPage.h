#pragma once

#include <QWidget>
#include <memory>

class ConsumptionParamsPage;
class ConsumptionReplyPage;
class ConsumptionTaskPage;
class DeviceSession;
class LogView;
class UserActions;

namespace Ui {
class FaceConsumptionPage;
}

// Page TabSheet1: the frame of the three consumption pages (parameters, tasks,
// replies) and the pane their commands and the service routes log into.
class FaceConsumptionPage : public QWidget
{
    Q_OBJECT

public:
    FaceConsumptionPage(DeviceSession& session, UserActions& actions, QWidget* parent);
    ~FaceConsumptionPage() override;

    LogView* log() const;
    const ConsumptionParamsPage& params() const { return *params_; }
    ConsumptionTaskPage& tasks() const { return *tasks_; }
    ConsumptionReplyPage& replies() const { return *replies_; }

private:
    std::unique_ptr<Ui::FaceConsumptionPage> ui;
    ConsumptionParamsPage* params_;
    ConsumptionTaskPage* tasks_;
    ConsumptionReplyPage* replies_;
};
