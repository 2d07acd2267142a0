#include "server/AccountTrade.h"
#include "server/FakeServerWindow.h"
#include "server/RequestDecoding.h"
#include "server/RequestDispatch.h"

#include <gtest/gtest.h>

namespace {

QString u(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

ServerReply post(FakeServerWindow& window, const QByteArray& target, const QByteArray& body)
{
    return HTTPServerCommandGet(RequestDecoding::makeRequest(target, "application/json", body.size(), body),
                                window);
}

// The reply as the terminal reads it, or the status when it is an error.
QString replyText(const ServerReply& reply)
{
    if (reply.status != 200)
        return QStringLiteral("status %1: ").arg(reply.status) + QString::fromUtf8(reply.body);
    EXPECT_EQ(reply.contentType, "application/json");
    return QString::fromUtf8(reply.body);
}

const char* const kAccountReply =
    R"({"result":-1,"success":true,"msg":"查询成功","data":{"personId":"20001","idcardNum":"88001234",)"
    R"("roleName":"大胃王","personName":"王麻子","departName":"生产部","accountState":1,"accountBalance":50000,)"
    R"("personalBalance":25000,"subsidyBalance":25000,"title":"个人账户余额信息","contentText1":"总余额{500.00}元",)"
    R"("contentText2":"现金余额{250.00}元","contentText3":"补贴余额{250.00}元"}})";

const char* const kRecordReply =
    R"({"result":1,"success":true,"msg":"查询成功","index":0,"size":1,"total":1,"data":[{"orderId":)"
    R"("20210817144813001","personId":"10000","idcardNum":"3698990470","personName":"王麻子","tradeType":"1",)"
    R"("workModel":"1","tradeTime":"1656388800","tradeSeq":"1","tradePrice":1,"menuId":"00001",)"
    R"("menuName":"红烧排骨"}]})";

} // namespace

TEST(ConsumptionRoutes, BodyThatIsNotJsonIsAcknowledgedAndChangesNothing)
{
    for (const char* target :
         {"/queryAccount", "/onlineTrade", "/queryTerminalSeq", "/revokeTerminalSeq", "/queryTerminalSum",
          "/queryOrderMenu", "/confirmOrderMenu", "/uploadRecords"}) {
        FakeServerWindow window;
        EXPECT_EQ(replyText(post(window, target, "abc")), R"({"result": true})") << target;
        EXPECT_TRUE(window.written.isEmpty()) << target;
        EXPECT_EQ(window.linesOf(LogPane::mmoLog), (QStringList{target, "abc"}));
        EXPECT_EQ(window.linesOf(LogPane::mmMsg), QStringList{R"({"result": true})"});
    }
    FakeServerWindow window;
    EXPECT_EQ(replyText(post(window, "/uploadRecords", "{}")),
              u(R"({"result":1,"success":true,"msg":"接收成功"})"));
    EXPECT_EQ(replyText(post(window, "/uploadTaskResults", "abc")), R"({"result": true})");
}

TEST(ConsumptionRoutes, AccountQueryCopiesTheRequestAndAnswersFromTheAccountGroup)
{
    FakeServerWindow window;
    EXPECT_EQ(replyText(post(window, "/api/queryAccount", R"({"personId":"20001","idcardNum":"88001234"})")),
              u(kAccountReply));
    EXPECT_EQ(window.account.edtpersonId, "20001");
    EXPECT_EQ(window.account.edtidcardNum, "88001234");

    const struct
    {
        int index;
        const char* start;
    } results[] = {{0, R"({"result":0,"success":false,)"},
                   {1, R"({"result":1,"success":true,)"},
                   {2, R"({"result":2,"success":true,)"}};
    for (const auto& result : results) {
        window.account.cbResult2 = result.index;
        EXPECT_TRUE(replyText(post(window, "/queryAccount", R"({"workModel":1})")).startsWith(result.start));
    }
}

TEST(ConsumptionRoutes, PaycodeQuotesAreEscapedOnceHoweverOftenTheyAreAsked)
{
    const QString paycode = u(R"({"paycode":"12"})");
    const QString escaped = u(R"({\"paycode\":\"12\"})");
    EXPECT_EQ(AccountTrade::escapePaycode(paycode), escaped);
    EXPECT_EQ(AccountTrade::escapePaycode(escaped), escaped);
    EXPECT_EQ(AccountTrade::escapePaycode(u(R"("a" "b")")), u(R"("a" "b")"));

    FakeServerWindow window;
    const QByteArray body = R"({"idcardNum":"{\"paycode\":\"12\"}"})";
    for (const QByteArray& request : {body, QByteArray("{}"), QByteArray("{}")}) {
        EXPECT_TRUE(replyText(post(window, "/queryAccount", request))
                        .contains(u(R"("idcardNum":"{\"paycode\":\"12\"}")")));
        EXPECT_EQ(window.account.edtidcardNum, escaped);
    }
    EXPECT_TRUE(
        replyText(post(window, "/onlineTrade", body)).contains(u(R"("idcardNum":"{\"paycode\":\"12\"}")")));
    EXPECT_EQ(window.trade.edtidcardNum2, escaped);
}

TEST(ConsumptionRoutes, TradeSelectsItsKindsAndStampsAFreshOrder)
{
    FakeServerWindow window;
    EXPECT_EQ(
        replyText(
            post(window, "/onlineTrade", R"({"personId":"30","tradeType":4,"workModel":"2","payid":1})")),
        u(R"({"result":1,"success":true,"msg":"交易成功","data":{"orderId":"220628120000000","personId":"30",)"
          R"("idcardNum":"3698990470","personName":"王麻子","tradeType":"4","workModel":"2",)"
          R"("tradeTime":"1656388800","tradeSeq":"1","tradePrice":1,"accountBalance":50000,)"
          R"("personalBalance":25000,"subsidyBalance":25000,"title":"个人账户余额信息",)"
          R"("contentText1":"总余额{500.00}元","contentText2":"现金余额{250.00}元",)"
          R"("contentText3":"补贴余额{250.00}元"}})"));
    EXPECT_EQ(window.trade.cbtradeType, 3);
    EXPECT_EQ(window.trade.cbworkModel2, 1);
    EXPECT_EQ(window.written.value(ServiceText::edttradeTime), "1656388800");

    window.trade.cbResult = 0;
    const QString refused = replyText(post(window, "/onlineTrade", R"({"tradeType":9,"workModel":0})"));
    EXPECT_TRUE(refused.startsWith(
        u(R"({"result":0,"success":true,"msg":"交易成功","data":{"orderId":"220628120000001")")));
    EXPECT_TRUE(refused.contains(R"("tradeType":"0","workModel":"0")"));
    // The clock stands still here, yet no order number comes twice.
    EXPECT_TRUE(replyText(post(window, "/onlineTrade", "{}")).contains(R"("orderId":"220628120000002")"));
    EXPECT_EQ(window.trade.edtorderId, "220628120000002");
}

TEST(ConsumptionRoutes, NumbersThatDoNotFitEndTheRouteWith500AfterItsWrites)
{
    const struct
    {
        const char* target;
        std::function<void(FakeServerWindow&)> spoil;
        const char* message;
    } cases[] = {
        {"/queryAccount", [](FakeServerWindow& w) { w.account.edtaccountBalance = "5000x"; },
         "'5000x' is not a valid floating point value"},
        {"/queryAccount", [](FakeServerWindow& w) { w.account.edtcontentText2 = "{%d}"; },
         "Format '{%d}' invalid or incompatible with argument"},
        {"/onlineTrade", [](FakeServerWindow& w) { w.trade.edtsubsidyBalance2 = "abc"; },
         "'abc' is not a valid floating point value"},
        {"/onlineTrade", [](FakeServerWindow& w) { w.trade.edtcontentText12 = "%f %f"; },
         "Format '%f %f' invalid or incompatible with argument"},
        {"/revokeTerminalSeq", [](FakeServerWindow& w) { w.revocation.edttradePrice4 = "1a"; },
         "'1a' is not a valid floating point value"},
        {"/revokeTerminalSeq", [](FakeServerWindow& w) { w.revocation.edtcontentText13 = "%f"; },
         "Format '%f' invalid or incompatible with argument"},
        {"/revokeTerminalSeq", [](FakeServerWindow& w) { w.revocation.edtcontentText23 = "%s"; },
         "Format '%s' invalid or incompatible with argument"},
    };
    for (const auto& c : cases) {
        FakeServerWindow window;
        c.spoil(window);
        const ServerReply reply = post(window, c.target, R"({"personId":"P","orderId":"O"})");
        EXPECT_EQ(reply.status, 500) << c.target;
        EXPECT_EQ(reply.contentType, "text/html");
        EXPECT_EQ(QString::fromUtf8(reply.body), u(c.message));
        EXPECT_TRUE(window.linesOf(LogPane::mmMsg).isEmpty());
        EXPECT_FALSE(window.written.isEmpty()) << c.target;
        // The other routes are unaffected.
        for (const char* other : {"/queryAccount", "/onlineTrade", "/revokeTerminalSeq"}) {
            if (QByteArray(other) != c.target) {
                EXPECT_EQ(post(window, other, "{}").status, 200) << c.target << " " << other;
            }
        }
    }
}

TEST(ConsumptionRoutes, RecordQueryAndRevocationAnswerFromTheirGroups)
{
    FakeServerWindow window;
    EXPECT_EQ(replyText(post(window, "/queryTerminalSeq", R"({"startTime":"x","index":3})")),
              u(kRecordReply));
    EXPECT_EQ(window.written.value(ServiceText::edttradeTime2), "1656388800");
    EXPECT_TRUE(replyText(post(window, "/queryTerminalSeq", R"({"personId":"20002"})"))
                    .contains(R"("personId":"20002")"));
    EXPECT_EQ(window.record.edtpersonId3, "20002");

    EXPECT_EQ(
        replyText(post(window, "/revokeTerminalSeq", R"({"orderId":"X1"})")),
        u(R"({"result":1,"success":true,"msg":"撤销成功","data":{"orderId":"X1","personId":"10000",)"
          R"("idcardNum":"3698990470","personName":"王麻子","tradeType":"1","workModel":"1",)"
          R"("tradeTime":"1656388800","tradeFlow":"1","tradePrice":1,"title":"订单撤销成功",)"
          R"("contentText1":"用户名：{王麻子}","contentText2":"撤销金额{0.01}元","contentText3":"卡余额{100.00}元"}})"));
    EXPECT_EQ(window.revocation.edtorderId3, "X1");
    EXPECT_EQ(window.written.value(ServiceText::edttradeTime4), "1656388800");
}

TEST(ConsumptionRoutes, MemoRepliesLoseEveryLineBreak)
{
    FakeServerWindow window;
    window.memos[ServiceMemo::mmqueryTerminalSum] = "{\"a\":\r\n1}";
    window.memos[ServiceMemo::mmqueryOrderMenu] = u("{\"m\":\"红烧\r\n排骨\"}");
    window.memos[ServiceMemo::mmconfirmOrderMenu] = "{}\r\n";
    EXPECT_EQ(replyText(post(window, "/queryTerminalSum", "{}")), R"({"a":1})");
    EXPECT_EQ(replyText(post(window, "/queryOrderMenu", u("{\"名\":\r\n\"菜\"}").toUtf8())),
              u(R"({"m":"红烧排骨"})"));
    EXPECT_EQ(replyText(post(window, "/confirmOrderMenu", "{\"noData\":1}")), "{}");
    EXPECT_EQ(replyText(post(window, "/confirmOrderMenu", "\xFF{}")), R"({"result": true})");
    EXPECT_EQ(window.linesOf(LogPane::mmoLog),
              (QStringList{"/queryTerminalSum", "{}", "/queryOrderMenu", u(R"({"名":"菜"})"),
                           "/confirmOrderMenu", R"({"noData":1})", "/confirmOrderMenu", ""}));
}

TEST(ConsumptionRoutes, TaskAnswersFollowTheRadioButtonsAndTheChosenKind)
{
    FakeServerWindow window;
    EXPECT_EQ(replyText(post(window, "/getTask", {})), "");
    window.task.rbHaveNoTask2 = true;
    EXPECT_EQ(replyText(post(window, "/getTask", {})), R"({"result": false})");
    window.task.rbHaveNoTask2 = false;
    window.task.rbHaveTask2 = true;
    EXPECT_EQ(replyText(post(window, "/getTask", {})), "");
    EXPECT_EQ(window.linesOf(LogPane::mmMsg), (QStringList{"", R"({"result": false})", ""}));

    window.task.cbTask = 5;
    window.task.edtpersonId7 = u("7\"%s");
    EXPECT_EQ(replyText(post(window, "/getTask?sn=1", {})),
              R"({"taskNo":"220628120000000","interfaceName":"person/delete","result":"true","id":"7"%s"})");
    EXPECT_EQ(window.linesOf(LogPane::mmoLog).mid(6), (QStringList{"/getTask", "sn=1\r\n"}));
    EXPECT_EQ(replyText(post(window, "/uploadTaskResults", "anything")), R"({"result": true})");
}

TEST(ConsumptionRoutes, MealPeriodTaskSendsTheCheckedRowsInRowOrder)
{
    FakeServerWindow window;
    window.task.rbHaveTask2 = true;
    window.task.cbTask = 2;
    const QString start =
        R"({"taskNo":"220628120000000","interfaceName":"tradeTimeinterval","result":"true","config":[)";
    EXPECT_EQ(replyText(post(window, "/getTask", {})), start + "]}");

    window.task.lvDinLevTimes[2].checked = true;
    window.task.lvDinLevTimes[0].checked = true;
    EXPECT_EQ(replyText(post(window, "/getTask", {})),
              start +
                  u(R"({"mealId":"1","mealName":"早餐","startTime":"05:00","endTime":"08:30","workModel":1,)"
                    R"("fixedMoney":1,"limitTimes":0,"limitMoney":0},{"mealId":"3","mealName":"晚餐",)"
                    R"("startTime":"17:00","endTime":"18:30","workModel":3,"fixedMoney":1,"limitTimes":0,)"
                    R"("limitMoney":0}]})"));

    const QString twoRows = replyText(post(window, "/getTask", {}));
    window.task.lvDinLevTimes[4].subItems[4] = "2.5";
    EXPECT_EQ(replyText(post(window, "/getTask", {})), twoRows);
    window.task.lvDinLevTimes[4].checked = true;
    EXPECT_EQ(replyText(post(window, "/getTask", {})), "status 500: '2.5' is not a valid integer value");
    window.task.lvDinLevTimes[4].subItems[4] = "1";
    window.task.lvDinLevTimes[4].subItems[3] = "0";
    EXPECT_TRUE(replyText(post(window, "/getTask", {})).contains(R"("endTime":"23:50","workModel":0,)"));
}
