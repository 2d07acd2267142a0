#include "app/LogView.h"
#include "app/ServiceClock.h"
#include "support/LoopbackClient.h"
#include "support/WindowTest.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSet>
#include <QTreeWidget>
#include <future>
#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr int kPort = 8090;

// Where this test's server listens: CTest runs the tests of one suite side by
// side, each in its own process, so each takes an address of its own.
QByteArray addressOfThisTest(int firstOctet)
{
    const testing::TestSuite* suite = testing::UnitTest::GetInstance()->current_test_suite();
    const testing::TestInfo* current = testing::UnitTest::GetInstance()->current_test_info();
    int index = 0;
    while (suite->GetTestInfo(index) != current)
        ++index;
    return "127.0.13." + QByteArray::number(firstOctet + index);
}

// A real window whose callback server runs on one loopback address; requests
// go over the wire and their replies are read back as UTF-8 text.
class ConsumptionService : public WindowTest
{
protected:
    explicit ConsumptionService(int firstOctet = 10) : address(addressOfThisTest(firstOctet))
    {
        show();
        field<QLineEdit>("edtIP1")->setText(QString::fromLatin1(address));
        field<QLineEdit>("edtPort")->setText(QString::number(kPort));
        field<QPushButton>("btn8")->click();
        EXPECT_EQ(field<QPushButton>("btn8")->text(), u("停止识别回调")) << address.constData();
    }

    static QByteArray request(const QByteArray& target, const QByteArray& body)
    {
        return "POST " + target +
               " HTTP/1.1\r\nHost: t\r\nContent-Type: application/json\r\nContent-Length: " +
               QByteArray::number(body.size()) + "\r\n\r\n" + body;
    }

    // The reply body, or "status N: body" when the status is not 200.
    QString post(const QByteArray& target, const QByteArray& body = {})
    {
        return replyOf(whileServing([&] { return exchange(address.constData(), kPort, request(target, body)); }));
    }

    static QString replyOf(const QByteArray& answer)
    {
        const qsizetype end = answer.indexOf("\r\n\r\n");
        const QString body = QString::fromUtf8(answer.mid(end + 4));
        if (!answer.startsWith("HTTP/1.1 200 "))
            return QStringLiteral("status %1: ").arg(QString::fromLatin1(answer.mid(9, 3))) + body;
        EXPECT_TRUE(answer.contains("Content-Type: application/json\r\n")) << answer.constData();
        return body;
    }

    QString text(const char* name) { return field<QLineEdit>(name)->text(); }
    void setText(const char* name, const char* value) { field<QLineEdit>(name)->setText(u(value)); }
    QStringList lines(const char* pane) { return field<LogView>(pane)->toPlainText().split('\n'); }

    // Replies stamped at local 2022-06-28 12:00:00 in a zone of bias -480.
    void fixClock()
    {
        window.findChild<ServiceClock*>("serviceClock")->setSource([] {
            return ServiceTime{QDateTime(QDate(2022, 6, 28), QTime(12, 0)), QTimeZone(8 * 3600)};
        });
    }

    const QByteArray address;
};

class ConsumptionTasksOverTheWire : public ConsumptionService
{
protected:
    ConsumptionTasksOverTheWire() : ConsumptionService(100) {}
};

class ConsumptionConcurrency : public ConsumptionService
{
protected:
    ConsumptionConcurrency() : ConsumptionService(200) {}
};

const char* const kAccountReply =
    R"({"result":-1,"success":true,"msg":"查询成功","data":{"personId":"20001","idcardNum":"88001234",)"
    R"("roleName":"大胃王","personName":"王麻子","departName":"生产部","accountState":1,"accountBalance":50000,)"
    R"("personalBalance":25000,"subsidyBalance":25000,"title":"个人账户余额信息","contentText1":"总余额{500.00}元",)"
    R"("contentText2":"现金余额{250.00}元","contentText3":"补贴余额{250.00}元"}})";

} // namespace

TEST_F(ConsumptionService, AccountQueryAnswersFromTheWindowAndKeepsWhatItWrote)
{
    EXPECT_EQ(post("/api/pay/queryAccount", R"({"personId":"20001","idcardNum":"88001234"})"),
              u(kAccountReply));
    EXPECT_EQ(text("edtpersonId"), "20001");
    EXPECT_EQ(text("edtidcardNum"), "88001234");
    EXPECT_EQ(lines("mmMsg"), QStringList{u(kAccountReply)});

    auto* result = field<QComboBox>("cbResult2");
    result->setCurrentIndex(0);
    EXPECT_TRUE(post("/queryAccount", "{}").startsWith(R"({"result":0,"success":false,)"));
    result->setCurrentIndex(2);
    EXPECT_TRUE(post("/queryAccount", "{}").startsWith(R"({"result":2,"success":true,)"));

    setText("edtpersonalBalance", "abc");
    EXPECT_EQ(post("/queryAccount", R"({"personId":"20009"})"),
              "status 500: 'abc' is not a valid floating point value");
    EXPECT_EQ(text("edtpersonId"), "20009");
    EXPECT_TRUE(post("/onlineTrade", "{}").startsWith(R"({"result":1,"success":true,)"));
    setText("edtpersonalBalance", "25000");
    setText("edtcontentText3", "{%d}");
    EXPECT_EQ(post("/queryAccount", "{}"), "status 500: Format '{%d}' invalid or incompatible with argument");
    EXPECT_EQ(post("/queryAccount", "not json"), R"({"result": true})");
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(ConsumptionService, TradeSelectsTheRequestsKindsAndStampsEveryTradeAfresh)
{
    const QString first = post("/onlineTrade", R"({"personId":"30","tradeType":4,"workModel":2})");
    EXPECT_EQ(field<QComboBox>("cbtradeType")->currentText(), u("4:微信二维码"));
    EXPECT_EQ(field<QComboBox>("cbworkModel2")->currentText(), u("2:固定金额"));
    const QRegularExpression stamp(
        R"re("orderId":"(\d{15})".*"tradeType":"(\d)","workModel":"(\d)","tradeTime":"(\d+)")re");
    const auto firstStamp = stamp.match(first);
    ASSERT_TRUE(firstStamp.hasMatch()) << first.toStdString();
    EXPECT_EQ(firstStamp.captured(1), text("edtorderId"));
    EXPECT_EQ(firstStamp.captured(2), "4");
    EXPECT_EQ(firstStamp.captured(3), "2");
    EXPECT_EQ(firstStamp.captured(4), text("edttradeTime"));
    EXPECT_NEAR(firstStamp.captured(4).toLongLong(), QDateTime::currentSecsSinceEpoch(), 5);

    const auto second = stamp.match(post("/onlineTrade", R"({"tradeType":9})"));
    ASSERT_TRUE(second.hasMatch());
    EXPECT_NE(second.captured(1), firstStamp.captured(1));
    EXPECT_EQ(second.captured(1), text("edtorderId"));
    EXPECT_EQ(second.captured(2), "0");
    EXPECT_EQ(field<QComboBox>("cbtradeType")->currentIndex(), -1);
}

TEST_F(ConsumptionService, RecordRevocationSumsMenusAndUploadsAnswerAsTheWindowSays)
{
    fixClock();
    EXPECT_EQ(
        post("/queryTerminalSeq", "{}"),
        u(R"({"result":1,"success":true,"msg":"查询成功","index":0,"size":1,"total":1,"data":[{"orderId":)"
          R"("20210817144813001","personId":"10000","idcardNum":"3698990470","personName":"王麻子",)"
          R"("tradeType":"1","workModel":"1","tradeTime":"1656388800","tradeSeq":"1","tradePrice":1,)"
          R"("menuId":"00001","menuName":"红烧排骨"}]})"));
    EXPECT_EQ(text("edttradeTime2"), "1656388800");

    const QString revoked = post("/revokeTerminalSeq", R"({"orderId":"X1"})");
    EXPECT_TRUE(
        revoked.startsWith(u(R"({"result":1,"success":true,"msg":"撤销成功","data":{"orderId":"X1",)")));
    EXPECT_TRUE(revoked.endsWith(u(
        R"("contentText1":"用户名：{王麻子}","contentText2":"撤销金额{0.01}元","contentText3":"卡余额{100.00}元"}})")));
    EXPECT_EQ(text("edtorderId3"), "X1");
    EXPECT_EQ(text("edttradeTime4"), "1656388800");

    const auto joined = [this](const char* memo) { return field<QPlainTextEdit>(memo)->toPlainText().remove('\n'); };
    EXPECT_EQ(post("/queryTerminalSum", "{}"), joined("mmqueryTerminalSum"));
    EXPECT_EQ(post("/queryOrderMenu", u("{\"名\":\r\n\"菜\"}").toUtf8()), joined("mmqueryOrderMenu"));
    EXPECT_EQ(lines("mmoLog").last(), u(R"({"名":"菜"})"));
    EXPECT_EQ(post("/confirmOrderMenu", "{}"), joined("mmconfirmOrderMenu"));
    EXPECT_EQ(post("/uploadRecords", "{}"), u(R"({"result":1,"success":true,"msg":"接收成功"})"));
    EXPECT_EQ(post("/uploadRecords", "abc"), R"({"result": true})");
    EXPECT_EQ(post("/uploadTaskResults", "abc"), R"({"result": true})");
    EXPECT_EQ(lines("mmoLog").mid(lines("mmoLog").size() - 4),
              (QStringList{"/uploadRecords", "abc", "/uploadTaskResults", "abc"}));
}

TEST_F(ConsumptionTasksOverTheWire, EveryKindWithTheDefaults)
{
    auto* cbTask = field<QComboBox>("cbTask");
    field<QRadioButton>("rbHaveTask2")->click();
    EXPECT_EQ(post("/getTask"), "");
    EXPECT_EQ(lines("mmMsg"), QStringList{""});

    const QString person =
        u(R"("person":{"id":"10000","name":"王麻子","idcardNum":"3698990470","iDNumber":"",)"
          R"("facePermission":2,"idCardPermission":2,"faceAndCardPermission":1,"iDPermission":1,)"
          R"("tag":"大胃王","phone":""}})");
    const QString expected[14] = {
        R"({"taskNo":"N","interfaceName":"setServerAddress","serverurl":"http://192.168.1.188:8028/comApi/",)"
        R"("interval":5,"base64Enable":1,"result":"true"})",
        R"({"taskNo":"N","interfaceName":"workConfig","result":"true","config":{"screenCtrl":"1", )"
        R"("recogDistance":"2","recogConsure":"1","recogOvertime":"15","requestOvertime":"15","repeatRegEnable":"1",)"
        R"("repeatConsumInterval":"5","autoIsOff":"1","volume":"6","workModel":"2","fixedMoney":1,)"
        R"("recogConsureOvertime":"5"}})",
        R"({"taskNo":"N","interfaceName":"tradeTimeinterval","result":"true","config":[]})",
        R"({"taskNo":"N","interfaceName":"readConsumeRecords","result":"true","personId":"-1","startTime":)"
        R"("2021-01-01","endTime":"2021-01-01","length":"100","order":"1","index":"0"})",
        R"({"taskNo":"N","interfaceName":"person/create","result":"true",)" + person,
        R"({"taskNo":"N","interfaceName":"person/delete","result":"true","id":"10000"})",
        R"({"taskNo":"N","interfaceName":"person/update","result":"true",)" + person,
        R"({"taskNo":"N","interfaceName":"person/findByPage","result":"true","personId":"-1","length":"100",)"
        R"("index":"0"})",
        R"({"taskNo":"N","interfaceName":"person/permissionTime","result":"true","personId":"10000",)"
        R"("startTime":"2021-01-01 00:00:00","endTime":"2021-01-01 23:59:59"})",
        R"({"taskNo":"N","interfaceName":"person/permissionsDelete","result":"true","personId":"10000"})",
        R"({"taskNo":"N","interfaceName":"face/createByUrl","result":"true","personId":"10000","faceId":"10000A",)"
        R"("imgUrl":"2021-01-01 23:59:59","isEasyWay":"true"})",
        R"({"taskNo":"N","interfaceName":"face/delete","result":"true","faceId":"10000A"})",
        R"({"taskNo":"N","interfaceName":"face","result":"true","personId":"10000","faceId":"10000A",)"
        R"("imgUrl":"2021-01-01 23:59:59","isEasyWay":"true"})",
        R"({"taskNo":"N","interfaceName":"face/find","result":"true","personId":"10000"})",
    };
    const QRegularExpression taskNumber(R"re(^\{"taskNo":"\d{15}")re");
    for (int kind = 0; kind < 14; ++kind) {
        cbTask->setCurrentIndex(kind);
        QString reply = post("/getTask");
        EXPECT_TRUE(taskNumber.match(reply).hasMatch()) << kind;
        reply.replace(QRegularExpression(R"re("taskNo":"\d{15}")re"), R"("taskNo":"N")");
        EXPECT_EQ(reply, expected[kind]) << kind;
    }
    field<QComboBox>("cbisEasyWay")->setCurrentIndex(0);
    for (int kind : {10, 12}) {
        cbTask->setCurrentIndex(kind);
        EXPECT_TRUE(post("/getTask").endsWith(R"("isEasyWay":"false"})")) << kind;
    }
    field<QRadioButton>("rbHaveNoTask2")->click();
    EXPECT_EQ(post("/getTask"), R"({"result": false})");
}

TEST_F(ConsumptionTasksOverTheWire, MealPeriodRowsAreEditedCheckedAndSent)
{
    field<QRadioButton>("rbHaveTask2")->click();
    field<QComboBox>("cbTask")->setCurrentIndex(2);
    auto* list = field<QTreeWidget>("lvDinLevTimes");
    list->topLevelItem(2)->setCheckState(0, Qt::Checked);
    list->topLevelItem(0)->setCheckState(0, Qt::Checked);
    EXPECT_TRUE(
        post("/getTask")
            .endsWith(u(
                R"("config":[{"mealId":"1","mealName":"早餐","startTime":"05:00","endTime":"08:30","workModel":1,)"
                R"("fixedMoney":1,"limitTimes":0,"limitMoney":0},{"mealId":"3","mealName":"晚餐","startTime":"17:00",)"
                R"("endTime":"18:30","workModel":3,"fixedMoney":1,"limitTimes":0,"limitMoney":0}]})")));

    // The editor follows the selection, and writes back into the row it shows.
    list->setCurrentItem(list->topLevelItem(1));
    list->setCurrentItem(list->topLevelItem(2));
    EXPECT_EQ(text("edtDinlevid"), "3");
    EXPECT_EQ(text("edtDinlevName"), u("晚餐"));
    EXPECT_EQ(field<QComboBox>("cbWokmodel6")->currentIndex(), 2);
    setText("edtDinlevName", "加餐");
    setText("edtfixedMoney2", "2.5");
    field<QPushButton>("Button3")->click();
    EXPECT_EQ(list->topLevelItem(2)->text(1), u("加餐"));
    EXPECT_EQ(list->topLevelItem(2)->text(5), "2.5");
    EXPECT_EQ(post("/getTask"), "status 500: '2.5' is not a valid integer value");
    list->topLevelItem(2)->setCheckState(0, Qt::Unchecked);
    EXPECT_TRUE(post("/getTask").endsWith(R"("limitMoney":0}]})"));

    // A work mode typed instead of picked selects nothing and is written as 0.
    list->setCurrentItem(list->topLevelItem(3));
    field<QComboBox>("cbWokmodel6")->setEditText("x");
    field<QPushButton>("Button3")->click();
    EXPECT_EQ(list->topLevelItem(3)->text(4), "0");
    list->setCurrentItem(list->topLevelItem(0));
    list->setCurrentItem(list->topLevelItem(3));
    EXPECT_EQ(field<QComboBox>("cbWokmodel6")->currentIndex(), -1);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(ConsumptionTasksOverTheWire, ChangingTheKindShowsItsGroupWithItsCaption)
{
    auto* cbTask = field<QComboBox>("cbTask");
    auto* shared = field<QGroupBox>("gppersondelete");
    const QPoint place = field<QGroupBox>("gpsetServerAddress")->pos();
    const auto shownGroups = [this] {
        QStringList shown;
        for (QGroupBox* group : field<QGroupBox>("GroupBox4")->findChildren<QGroupBox*>()) {
            if (!group->isHidden())
                shown += group->objectName();
        }
        return shown;
    };
    cbTask->setCurrentIndex(9);
    EXPECT_EQ(shownGroups(), QStringList{"gppersondelete"});
    EXPECT_EQ(shared->title(), u("批量有效期删除任务"));
    EXPECT_EQ(shared->pos(), place);
    cbTask->setCurrentIndex(5);
    EXPECT_EQ(shownGroups(), QStringList{"gppersondelete"});
    EXPECT_EQ(shared->title(), u("人员删除(批量)任务"));
    cbTask->setCurrentIndex(6);
    EXPECT_EQ(shownGroups(), QStringList{"gppersoncreate"});
    EXPECT_EQ(field<QGroupBox>("gppersoncreate")->title(), u("人员注册任务"));
    cbTask->setEditText("typed");
    EXPECT_EQ(shownGroups(), QStringList{});
    field<QRadioButton>("rbHaveTask2")->click();
    EXPECT_EQ(post("/getTask"), "");
}

TEST_F(ConsumptionConcurrency, RequestsAtOnceEachGetTheirOwnValues)
{
    constexpr int kCount = 50;
    const auto sendAll = [this](const std::function<QByteArray(int)>& body, const char* target) {
        QStringList replies;
        whileServing([&] {
            std::vector<std::future<QByteArray>> answers;
            for (int i = 0; i < kCount; ++i)
                answers.push_back(std::async(std::launch::async, [this, target, data = body(i)] {
                    return exchange(address.constData(), kPort, request(target, data));
                }));
            for (auto& answer : answers)
                replies += replyOf(answer.get());
            return QByteArray();
        });
        return replies;
    };
    const QStringList accounts =
        sendAll([](int i) { return R"({"personId":"P)" + QByteArray::number(i) + R"("})"; }, "/queryAccount");
    for (int i = 0; i < kCount; ++i)
        EXPECT_TRUE(accounts[i].contains(QStringLiteral(R"("personId":"P%1")").arg(i)))
            << accounts[i].toStdString();

    const QStringList trades = sendAll([](int) { return QByteArray("{}"); }, "/onlineTrade");
    QSet<QString> orders;
    for (const QString& trade : trades)
        orders += QRegularExpression(R"re("orderId":"(\d{15})")re").match(trade).captured(1);
    orders.remove(QString());
    EXPECT_EQ(orders.size(), kCount);
}
