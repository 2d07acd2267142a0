#include "server/RecordReplies.h"

#include "common/TextCodec.h"
#include "common/UnixTime.h"
#include "server/ContentLine.h"
#include "server/ServiceRoute.h"
#include "server/TemplateFormat.h"

namespace RecordReplies {

namespace {

QString withoutLineBreaks(QString text)
{
    return text.remove(QLatin1String("\r\n"));
}

QString nowInUnixSeconds(ServerWindow& window)
{
    const ServiceTime time = window.serviceTime();
    return LocalToUnixSeconds(time.now, time.zone);
}

// The menu routes read their body as UTF-8 and log it without line breaks.
ServerReply answerMenu(const ServerRequest& request, ServerWindow& window, ServiceMemo memo)
{
    return answerServiceBody(
        withoutLineBreaks(TextCodec::fromUtf8Strict(request.body)), window,
        [&window, memo](const ServiceBody&) { return withoutLineBreaks(window.memoText(memo)); });
}

} // namespace

ServerReply queryTerminalSeq(const ServerRequest& request, ServerWindow& window)
{
    return answerServiceRequest(request, window, [&window](const ServiceBody& body) {
        if (const auto personId = body.text("personId"))
            window.setText(ServiceText::edtpersonId3, *personId);
        const QString tradeTime = nowInUnixSeconds(window);
        window.setText(ServiceText::edttradeTime2, tradeTime);
        const RecordFields f = window.recordFields();
        const QString record = FormatTemplate(
            QStringLiteral(R"({"orderId":"%s","personId":"%s","idcardNum":"%s","personName":"%s",)"
                           R"("tradeType":"%s","workModel":"%s","tradeTime":"%s","tradeSeq":"%s",)"
                           R"("tradePrice":%s,"menuId":"%s","menuName":"%s"})"),
            {f.edtorderId2, f.edtpersonId3, f.edtidcardNum3, f.edtpersonName3, choiceNumber(f.cbtradeType2),
             choiceNumber(f.cbworkModel3), tradeTime, f.edttradeSeq, f.edttradePrice3, f.edtmenuId,
             f.edtmenuName});
        return FormatTemplate(
            QStringLiteral(R"({"result":1,"success":true,"msg":"查询成功","index":0,"size":1,)"
                           R"("total":1,"data":[%s]})"),
            {record});
    });
}

ServerReply revokeTerminalSeq(const ServerRequest& request, ServerWindow& window)
{
    return answerServiceRequest(request, window, [&window](const ServiceBody& body) {
        if (const auto orderId = body.text("orderId"))
            window.setText(ServiceText::edtorderId3, *orderId);
        const QString revocationTime = nowInUnixSeconds(window);
        window.setText(ServiceText::edttradeTime4, revocationTime);
        const RevocationFields f = window.revocationFields();
        return FormatTemplate(
            QStringLiteral(
                R"({"result":1,"success":true,"msg":"撤销成功","data":{"orderId":"%s","personId":"%s",)"
                R"("idcardNum":"%s","personName":"%s","tradeType":"%s","workModel":"%s",)"
                R"("tradeTime":"%s","tradeFlow":"%s","tradePrice":%s,"title":"%s",)"
                R"("contentText1":"%s","contentText2":"%s","contentText3":"%s"}})"),
            {f.edtorderId3, f.edtpersonId4, f.edtidcardNum4, f.edtpersonName4, choiceNumber(f.cbtradeType3),
             choiceNumber(f.cbworkModel4), revocationTime, choiceNumber(f.cbtradeFlow), f.edttradePrice4,
             f.edttitle3, FormatTemplate(f.edtcontentText13, {f.edtpersonName4}),
             FormatContentLine(f.edtcontentText23, f.edttradePrice4),
             FormatTemplate(f.edtcontentText33, {100.0})});
    });
}

ServerReply queryTerminalSum(const ServerRequest& request, ServerWindow& window)
{
    return answerServiceRequest(request, window, [&window](const ServiceBody&) {
        return withoutLineBreaks(window.memoText(ServiceMemo::mmqueryTerminalSum));
    });
}

ServerReply queryOrderMenu(const ServerRequest& request, ServerWindow& window)
{
    return answerMenu(request, window, ServiceMemo::mmqueryOrderMenu);
}

ServerReply confirmOrderMenu(const ServerRequest& request, ServerWindow& window)
{
    return answerMenu(request, window, ServiceMemo::mmconfirmOrderMenu);
}

ServerReply uploadRecords(const ServerRequest& request, ServerWindow& window)
{
    return answerServiceRequest(request, window, [](const ServiceBody&) {
        return QString::fromUtf8(R"({"result":1,"success":true,"msg":"接收成功"})");
    });
}

} // namespace RecordReplies
