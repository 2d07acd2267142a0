#include "app/ComboSelection.h"
#include "app/TfrmMain.h"
#include "common/IntegerText.h"
#include "server/ConsumptionTasks.h"
#include "ui_ConsumptionTaskPage.h"

#include <QGroupBox>
#include <QItemSelectionModel>

void TfrmMain::setupConsumptionTaskPage()
{
    Ui::ConsumptionTaskPage& ui = *tabSheet3Ui;
    connect(ui.cbTask, &QComboBox::currentIndexChanged, this,
            [this] { runHandler([this] { cbTaskChange(); }); });
    connect(ui.cbTask, &QComboBox::editTextChanged, this, [this] { runHandler([this] { cbTaskChange(); }); });
    // The row that loses the selection is copied first, so that the editor ends
    // on the newly selected one.
    connect(ui.lvDinLevTimes->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected, const QItemSelection& deselected) {
                QTreeWidget* list = tabSheet3Ui->lvDinLevTimes;
                for (const QItemSelection& rows : {deselected, selected}) {
                    for (const QModelIndex& index : rows.indexes()) {
                        if (index.column() == 0)
                            runHandler(
                                [this, list, index] { lvDinLevTimesSelectItem(list->itemFromIndex(index)); });
                    }
                }
            });
    onClick(ui.Button3, &TfrmMain::Button3Click);
}

// Only the chosen kind's group shows, in the place of the server address group;
// kinds that share a group give it their own caption.
void TfrmMain::cbTaskChange()
{
    Ui::ConsumptionTaskPage& ui = *tabSheet3Ui;
    const auto group = [&ui](int kind) { return ui.GroupBox4->findChild<QGroupBox*>(TaskGroupNames[kind]); };
    const int kinds = std::min<int>(ui.cbTask->count(), int(TaskGroupNames.size()));
    for (int kind = 0; kind < kinds; ++kind)
        group(kind)->hide();
    const int kind = selectedIndex(ui.cbTask);
    if (kind < 0 || kind >= kinds)
        return;
    QGroupBox* shown = group(kind);
    shown->move(ui.gpsetServerAddress->pos());
    if (const char* caption = TaskGroupCaption(kind))
        shown->setTitle(QString::fromUtf8(caption));
    shown->show();
}

void TfrmMain::lvDinLevTimesSelectItem(QTreeWidgetItem* item)
{
    Ui::ConsumptionTaskPage& ui = *tabSheet3Ui;
    ui.edtDinlevid->setText(item->text(0));
    ui.edtDinlevName->setText(item->text(1));
    ui.edtBeginttime->setText(item->text(2));
    ui.edtEndtime->setText(item->text(3));
    const int workMode = ReadInteger(item->text(4)) - 1;
    ui.cbWokmodel6->setCurrentIndex(workMode >= 0 && workMode < ui.cbWokmodel6->count() ? workMode : -1);
    ui.edtfixedMoney2->setText(item->text(5));
    ui.edtlimitTimes->setText(item->text(6));
    ui.edtlimitMoney->setText(item->text(7));
}

// Writes the editor into the first row whose caption begins with the editor's
// period number; the texts are taken as typed.
void TfrmMain::Button3Click()
{
    Ui::ConsumptionTaskPage& ui = *tabSheet3Ui;
    for (int row = 0; row < ui.lvDinLevTimes->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = ui.lvDinLevTimes->topLevelItem(row);
        if (!item->text(0).startsWith(ui.edtDinlevid->text()))
            continue;
        item->setText(1, ui.edtDinlevName->text());
        item->setText(2, ui.edtBeginttime->text());
        item->setText(3, ui.edtEndtime->text());
        item->setText(4, QString::number(selectedIndex(ui.cbWokmodel6) + 1));
        item->setText(5, ui.edtfixedMoney2->text());
        item->setText(6, ui.edtlimitTimes->text());
        item->setText(7, ui.edtlimitMoney->text());
        return;
    }
}
