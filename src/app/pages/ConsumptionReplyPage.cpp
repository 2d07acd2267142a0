#include "app/pages/ConsumptionReplyPage.h"

#include "app/ComboSelection.h"
#include "ui_ConsumptionReplyPage.h"

ConsumptionReplyPage::ConsumptionReplyPage(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::ConsumptionReplyPage>())
{
    ui->setupUi(this);
    // An editable combo box that shows a text with no item selected, which the
    // form cannot say itself.
    ui->cbResult2->setCurrentIndex(-1);
    ui->cbResult2->setEditText(QString::fromUtf8("1:查询成功"));
}

ConsumptionReplyPage::~ConsumptionReplyPage() = default;

AccountFields ConsumptionReplyPage::accountFields() const
{
    return {ui->edtpersonId->text(),       ui->edtidcardNum->text(),       ui->edtroleName->text(),
            ui->edtpersonName->text(),     ui->edtdepartName->text(),      ui->edtaccountState->text(),
            ui->edtaccountBalance->text(), ui->edtpersonalBalance->text(), ui->edtsubsidyBalance->text(),
            ui->edttitle->text(),          selectedIndex(ui->cbResult2),   ui->edtcontentText1->text(),
            ui->edtcontentText2->text(),   ui->edtcontentText3->text()};
}

TradeFields ConsumptionReplyPage::tradeFields() const
{
    return {ui->edtpersonId2->text(),
            ui->edtidcardNum2->text(),
            ui->edtorderId->text(),
            ui->edtpersonName2->text(),
            selectedIndex(ui->cbtradeType),
            selectedIndex(ui->cbworkModel2),
            ui->edttradeSeq->text(),
            ui->edttradePrice2->text(),
            ui->edtaccountBalance2->text(),
            ui->edtpersonalBalance2->text(),
            ui->edtsubsidyBalance2->text(),
            ui->edttitle2->text(),
            selectedIndex(ui->cbResult),
            ui->edtcontentText12->text(),
            ui->edtcontentText22->text(),
            ui->edtcontentText32->text(),
            ui->edtMsg->text()};
}

RecordFields ConsumptionReplyPage::recordFields() const
{
    return {ui->edtpersonId3->text(),   ui->edtidcardNum3->text(),       ui->edtorderId2->text(),
            ui->edtpersonName3->text(), selectedIndex(ui->cbtradeType2), selectedIndex(ui->cbworkModel3),
            ui->edttradePrice3->text(), ui->edtmenuId->text(),           ui->edtmenuName->text(),
            ui->edttradeSeq->text()};
}

RevocationFields ConsumptionReplyPage::revocationFields() const
{
    return {ui->edtpersonId4->text(),       ui->edtidcardNum4->text(),       ui->edtorderId3->text(),
            ui->edtpersonName4->text(),     selectedIndex(ui->cbtradeType3), selectedIndex(ui->cbworkModel4),
            selectedIndex(ui->cbtradeFlow), ui->edttradePrice4->text(),      ui->edttitle3->text(),
            ui->edtcontentText13->text(),   ui->edtcontentText23->text(),    ui->edtcontentText33->text()};
}

QString ConsumptionReplyPage::memoText(ServiceMemo memo) const
{
    const QPlainTextEdit* pane = memo == ServiceMemo::mmqueryTerminalSum ? ui->mmqueryTerminalSum
                                 : memo == ServiceMemo::mmqueryOrderMenu ? ui->mmqueryOrderMenu
                                                                         : ui->mmconfirmOrderMenu;
    return pane->toPlainText().replace(QChar('\n'), QLatin1String("\r\n"));
}

QLineEdit* ConsumptionReplyPage::edit(ServiceText field) const
{
    switch (field) {
    case ServiceText::edtpersonId:
        return ui->edtpersonId;
    case ServiceText::edtidcardNum:
        return ui->edtidcardNum;
    case ServiceText::edtpersonId2:
        return ui->edtpersonId2;
    case ServiceText::edtidcardNum2:
        return ui->edtidcardNum2;
    case ServiceText::edtorderId:
        return ui->edtorderId;
    case ServiceText::edttradeTime:
        return ui->edttradeTime;
    case ServiceText::edtpersonId3:
        return ui->edtpersonId3;
    case ServiceText::edttradeTime2:
        return ui->edttradeTime2;
    case ServiceText::edtorderId3:
        return ui->edtorderId3;
    case ServiceText::edttradeTime4:
        return ui->edttradeTime4;
    }
    return nullptr;
}

void ConsumptionReplyPage::setText(ServiceText field, const QString& text)
{
    edit(field)->setText(text);
}

void ConsumptionReplyPage::select(ServiceChoice field, int index)
{
    QComboBox* combo = field == ServiceChoice::cbtradeType ? ui->cbtradeType : ui->cbworkModel2;
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}
