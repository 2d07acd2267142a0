#include "app/pages/ConsumptionTaskPage.h"

#include "app/ComboSelection.h"
#include "app/UserActions.h"
#include "common/IntegerText.h"
#include "server/ConsumptionTasks.h"
#include "ui_ConsumptionTaskPage.h"

#include <QGroupBox>
#include <QItemSelectionModel>
#include <iterator>

ConsumptionTaskPage::ConsumptionTaskPage(UserActions& actions, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::ConsumptionTaskPage>())
{
    ui->setupUi(this);
    // An editable combo box that shows a text with no item selected, which the
    // form cannot say itself.
    ui->cbTask->setCurrentIndex(-1);
    ui->cbTask->setEditText(QString::fromUtf8("服务器地址设置任务"));
    const int mealColumnWidths[] = {40, 40, 60, 60, 64, 65, 60, 60};
    for (int column = 0; column < int(std::size(mealColumnWidths)); ++column)
        ui->lvDinLevTimes->setColumnWidth(column, mealColumnWidths[column]);

    connect(ui->cbTask, &QComboBox::currentIndexChanged, this,
            [this, &actions] { actions.run([this] { showChosenTaskGroup(); }); });
    connect(ui->cbTask, &QComboBox::editTextChanged, this,
            [this, &actions] { actions.run([this] { showChosenTaskGroup(); }); });
    // The row that loses the selection is copied first, so that the editor ends
    // on the newly selected one.
    connect(ui->lvDinLevTimes->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this, &actions](const QItemSelection& selected, const QItemSelection& deselected) {
                QTreeWidget* list = ui->lvDinLevTimes;
                for (const QItemSelection& rows : {deselected, selected}) {
                    for (const QModelIndex& index : rows.indexes()) {
                        if (index.column() == 0)
                            actions.run([this, list, index] { editMealPeriod(list->itemFromIndex(index)); });
                    }
                }
            });
    actions.bind<ConsumptionTaskPage>(this, {{ui->Button3, &ConsumptionTaskPage::writeMealPeriod}});
}

ConsumptionTaskPage::~ConsumptionTaskPage() = default;

// Only the chosen kind's group shows, in the place of the server address group;
// kinds that share a group give it their own caption.
void ConsumptionTaskPage::showChosenTaskGroup()
{
    const auto group = [this](int kind) {
        return ui->GroupBox4->findChild<QGroupBox*>(TaskGroupNames[kind]);
    };
    const int kinds = std::min<int>(ui->cbTask->count(), int(TaskGroupNames.size()));
    for (int kind = 0; kind < kinds; ++kind)
        group(kind)->hide();
    const int kind = selectedIndex(ui->cbTask);
    if (kind < 0 || kind >= kinds)
        return;
    QGroupBox* shown = group(kind);
    shown->move(ui->gpsetServerAddress->pos());
    if (const char* caption = TaskGroupCaption(kind))
        shown->setTitle(QString::fromUtf8(caption));
    shown->show();
}

void ConsumptionTaskPage::editMealPeriod(QTreeWidgetItem* item)
{
    ui->edtDinlevid->setText(item->text(0));
    ui->edtDinlevName->setText(item->text(1));
    ui->edtBeginttime->setText(item->text(2));
    ui->edtEndtime->setText(item->text(3));
    const int workMode = ReadInteger(item->text(4)) - 1;
    ui->cbWokmodel6->setCurrentIndex(workMode >= 0 && workMode < ui->cbWokmodel6->count() ? workMode : -1);
    ui->edtfixedMoney2->setText(item->text(5));
    ui->edtlimitTimes->setText(item->text(6));
    ui->edtlimitMoney->setText(item->text(7));
}

// Writes the editor into the first row whose caption begins with the editor's
// period number; the texts are taken as typed.
void ConsumptionTaskPage::writeMealPeriod()
{
    for (int row = 0; row < ui->lvDinLevTimes->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = ui->lvDinLevTimes->topLevelItem(row);
        if (!item->text(0).startsWith(ui->edtDinlevid->text()))
            continue;
        item->setText(1, ui->edtDinlevName->text());
        item->setText(2, ui->edtBeginttime->text());
        item->setText(3, ui->edtEndtime->text());
        item->setText(4, QString::number(selectedIndex(ui->cbWokmodel6) + 1));
        item->setText(5, ui->edtfixedMoney2->text());
        item->setText(6, ui->edtlimitTimes->text());
        item->setText(7, ui->edtlimitMoney->text());
        return;
    }
}

HeartbeatFields ConsumptionTaskPage::heartbeatFields() const
{
    return {ui->rbHaveTask->isChecked(), ui->rbHaveNoTask->isChecked()};
}

TaskFields ConsumptionTaskPage::taskFields() const
{
    const Ui::ConsumptionTaskPage& ui = *this->ui;
    TaskFields f;
    f.rbHaveTask2 = ui.rbHaveTask2->isChecked();
    f.rbHaveNoTask2 = ui.rbHaveNoTask2->isChecked();
    f.cbTask = selectedIndex(ui.cbTask);

    f.edtserverurl2 = ui.edtserverurl2->text();
    f.edtinterval2 = ui.edtinterval2->text();
    f.cbBase64Enable2 = selectedIndex(ui.cbBase64Enable2);

    f.cbscreenCtrl = selectedIndex(ui.cbscreenCtrl);
    f.cbrecogDistance = selectedIndex(ui.cbrecogDistance);
    f.cbrecogConsure = selectedIndex(ui.cbrecogConsure);
    f.cbrepeatRegEnable = selectedIndex(ui.cbrepeatRegEnable);
    f.cbautoIsOff = selectedIndex(ui.cbautoIsOff);
    f.cbvolume = selectedIndex(ui.cbvolume);
    f.cbworkModel = selectedIndex(ui.cbworkModel);
    f.edtrecogOvertime = ui.edtrecogOvertime->text();
    f.edtrequestOvertime = ui.edtrequestOvertime->text();
    f.edtfixedMoney = ui.edtfixedMoney->text();
    f.edtrepeatConsumInterval = ui.edtrepeatConsumInterval->text();
    f.edtrecogConsureOvertime = ui.edtrecogConsureOvertime->text();

    for (int row = 0; row < ui.lvDinLevTimes->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = ui.lvDinLevTimes->topLevelItem(row);
        MealPeriodRow period{item->checkState(0) == Qt::Checked, item->text(0), {}};
        for (int column = 1; column < 8; ++column)
            period.subItems += item->text(column);
        f.lvDinLevTimes += period;
    }

    f.edtpersonId6 = ui.edtpersonId6->text();
    f.edtstartTime2 = ui.edtstartTime2->text();
    f.edtendTime2 = ui.edtendTime2->text();
    f.edtlength = ui.edtlength->text();
    f.edtindex = ui.edtindex->text();
    f.cborder = selectedIndex(ui.cborder);

    f.edtpersonId5 = ui.edtpersonId5->text();
    f.edtidcardNum5 = ui.edtidcardNum5->text();
    f.edtpersonName5 = ui.edtpersonName5->text();
    f.edtTag = ui.edtTag->text();
    f.edtphone = ui.edtphone->text();
    f.cbfacePermission = selectedIndex(ui.cbfacePermission);
    f.cbidCardPermission = selectedIndex(ui.cbidCardPermission);
    f.cbfaceAndCardPermission = selectedIndex(ui.cbfaceAndCardPermission);
    f.cbiDPermission = selectedIndex(ui.cbiDPermission);

    f.edtpersonId7 = ui.edtpersonId7->text();
    f.edtpersonId8 = ui.edtpersonId8->text();
    f.edtlength2 = ui.edtlength2->text();
    f.edtindex2 = ui.edtindex2->text();
    f.edtpersonId9 = ui.edtpersonId9->text();
    f.edtstartTime3 = ui.edtstartTime3->text();
    f.edtendTime3 = ui.edtendTime3->text();
    f.edtpersonId10 = ui.edtpersonId10->text();
    f.edtFaceId2 = ui.edtFaceId2->text();
    f.edtimgUrl = ui.edtimgUrl->text();
    f.cbisEasyWay = selectedIndex(ui.cbisEasyWay);
    f.edtFaceId3 = ui.edtFaceId3->text();
    return f;
}
