#include "server/AccountTrade.h"

#include "common/UnixTime.h"
#include "server/ContentLine.h"
#include "server/ServiceRoute.h"
#include "server/TemplateFormat.h"

namespace AccountTrade {

namespace {

// Applies the escaping to a card-number field; returns the field's text after it.
QString escapeField(ServerWindow& window, ServiceText field, const QString& text)
{
    const QString escaped = escapePaycode(text);
    if (escaped != text)
        window.setText(field, escaped);
    return escaped;
}

} // namespace

QString escapePaycode(const QString& cardNumber)
{
    if (!cardNumber.contains(QLatin1String("paycode")))
        return cardNumber;
    QString escaped;
    escaped.reserve(cardNumber.size() + 8);
    for (qsizetype i = 0; i < cardNumber.size(); ++i) {
        if (cardNumber[i] == '"' && (i == 0 || cardNumber[i - 1] != '\\'))
            escaped += QChar('\\');
        escaped += cardNumber[i];
    }
    return escaped;
}

ServerReply queryAccount(const ServerRequest& request, ServerWindow& window)
{
    return answerServiceRequest(request, window, [&window](const ServiceBody& body) {
        if (const auto personId = body.text("personId"))
            window.setText(ServiceText::edtpersonId, *personId);
        if (const auto cardNumber = body.text("idcardNum"))
            window.setText(ServiceText::edtidcardNum, *cardNumber);
        AccountFields f = window.accountFields();
        f.edtidcardNum = escapeField(window, ServiceText::edtidcardNum, f.edtidcardNum);
        return FormatTemplate(
            QStringLiteral(
                R"({"result":%d,"success":%s,"msg":"查询成功","data":{"personId":"%s","idcardNum":"%s",)"
                R"("roleName":"%s","personName":"%s","departName":"%s","accountState":%s,)"
                R"("accountBalance":%s,"personalBalance":%s,"subsidyBalance":%s,"title":"%s",)"
                R"("contentText1":"%s","contentText2":"%s","contentText3":"%s"}})"),
            {qint64(f.cbResult2), f.cbResult2 == 0 ? QStringLiteral("false") : QStringLiteral("true"),
             f.edtpersonId, f.edtidcardNum, f.edtroleName, f.edtpersonName, f.edtdepartName,
             f.edtaccountState, f.edtaccountBalance, f.edtpersonalBalance, f.edtsubsidyBalance, f.edttitle,
             FormatContentLine(f.edtcontentText1, f.edtaccountBalance),
             FormatContentLine(f.edtcontentText2, f.edtpersonalBalance),
             FormatContentLine(f.edtcontentText3, f.edtsubsidyBalance)});
    });
}

ServerReply onlineTrade(const ServerRequest& request, ServerWindow& window)
{
    return answerServiceRequest(request, window, [&window](const ServiceBody& body) {
        if (const auto personId = body.text("personId"))
            window.setText(ServiceText::edtpersonId2, *personId);
        if (const auto tradeType = body.integer("tradeType"))
            window.select(ServiceChoice::cbtradeType, indexOf(*tradeType));
        if (const auto workModel = body.integer("workModel"))
            window.select(ServiceChoice::cbworkModel2, indexOf(*workModel));
        if (const auto cardNumber = body.text("idcardNum"))
            window.setText(ServiceText::edtidcardNum2, *cardNumber);
        const ServiceTime time = window.serviceTime();
        window.setText(ServiceText::edtorderId, window.newOrderNumber(time.now));
        const QString tradeTime = LocalToUnixSeconds(time.now, time.zone);
        window.setText(ServiceText::edttradeTime, tradeTime);

        TradeFields f = window.tradeFields();
        f.edtidcardNum2 = escapeField(window, ServiceText::edtidcardNum2, f.edtidcardNum2);
        return FormatTemplate(
            QStringLiteral(R"({"result":%d,"success":true,"msg":"%s","data":{"orderId":"%s","personId":"%s",)"
                           R"("idcardNum":"%s","personName":"%s","tradeType":"%s","workModel":"%s",)"
                           R"("tradeTime":"%s","tradeSeq":"%s","tradePrice":%s,"accountBalance":%s,)"
                           R"("personalBalance":%s,"subsidyBalance":%s,"title":"%s","contentText1":"%s",)"
                           R"("contentText2":"%s","contentText3":"%s"}})"),
            {qint64(f.cbResult), f.edtMsg, f.edtorderId, f.edtpersonId2, f.edtidcardNum2, f.edtpersonName2,
             choiceNumber(f.cbtradeType), choiceNumber(f.cbworkModel2), tradeTime, f.edttradeSeq,
             f.edttradePrice2, f.edtaccountBalance2, f.edtpersonalBalance2, f.edtsubsidyBalance2, f.edttitle2,
             FormatContentLine(f.edtcontentText12, f.edtaccountBalance2),
             FormatContentLine(f.edtcontentText22, f.edtpersonalBalance2),
             FormatContentLine(f.edtcontentText32, f.edtsubsidyBalance2)});
    });
}

} // namespace AccountTrade
