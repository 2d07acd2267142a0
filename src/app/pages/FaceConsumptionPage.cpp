#include "app/pages/FaceConsumptionPage.h"

#include "app/pages/ConsumptionParamsPage.h"
#include "app/pages/ConsumptionReplyPage.h"
#include "app/pages/ConsumptionTaskPage.h"
#include "ui_FaceConsumptionPage.h"

FaceConsumptionPage::FaceConsumptionPage(DeviceSession& session, UserActions& actions, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::FaceConsumptionPage>())
{
    ui->setupUi(this);
    QTabWidget* inner = ui->PageControl1;
    inner->addTab(params_ = new ConsumptionParamsPage(session, actions, ui->mmMsg, inner),
                  QString::fromUtf8("参数类"));
    inner->addTab(tasks_ = new ConsumptionTaskPage(actions, inner), QString::fromUtf8("任务类"));
    inner->addTab(replies_ = new ConsumptionReplyPage(inner), QString::fromUtf8("消费类"));
    inner->setCurrentIndex(0);
}

FaceConsumptionPage::~FaceConsumptionPage() = default;

LogView* FaceConsumptionPage::log() const
{
    return ui->mmMsg;
}
