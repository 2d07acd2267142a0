#include "server/FakeServerWindow.h"

namespace {

QString u(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

QList<MealPeriodRow> defaultMealPeriods()
{
    const char* const rows[6][8] = {
        {"1", "早餐", "05:00", "08:30", "1", "1", "0", "0"},
        {"2", "午餐", "11:00", "13:00", "2", "1", "0", "0"},
        {"3", "晚餐", "17:00", "18:30", "3", "1", "0", "0"},
        {"4", "夜宵", "22:00", "23:30", "4", "1", "0", "0"},
        {"5", "无名", "23:40", "23:50", "5", "1", "0", "0"},
        {"6", "无名", "23:55", "01:30", "6", "1", "0", "0"},
    };
    QList<MealPeriodRow> periods;
    for (const auto& row : rows) {
        MealPeriodRow period{false, u(row[0]), {}};
        for (int cell = 1; cell < 8; ++cell)
            period.subItems += u(row[cell]);
        periods += period;
    }
    return periods;
}

} // namespace

FakeServerWindow::FakeServerWindow()
{
    task.edtserverurl2 = u("http://127.0.0.1:8028/comApi/");
    task.edtinterval2 = u("5");
    task.cbBase64Enable2 = 0;
    task.cbscreenCtrl = 0, task.cbrecogDistance = 1, task.cbrecogConsure = 0, task.cbrepeatRegEnable = 0;
    task.cbautoIsOff = 0, task.cbvolume = 5, task.cbworkModel = 1;
    task.edtrecogOvertime = u("15"), task.edtrequestOvertime = u("15"), task.edtfixedMoney = u("1");
    task.edtrepeatConsumInterval = u("5"), task.edtrecogConsureOvertime = u("5");
    task.lvDinLevTimes = defaultMealPeriods();
    task.edtpersonId6 = u("-1"), task.edtstartTime2 = u("2021-01-01"), task.edtendTime2 = u("2021-01-01");
    task.edtlength = u("100"), task.edtindex = u("0"), task.cborder = 0;
    task.edtpersonId5 = u("10000"), task.edtidcardNum5 = u("3698990470"), task.edtpersonName5 = u("王麻子");
    task.edtTag = u("大胃王");
    task.cbfacePermission = 1, task.cbidCardPermission = 1, task.cbfaceAndCardPermission = 0,
    task.cbiDPermission = 0;
    task.edtpersonId7 = u("10000");
    task.edtpersonId8 = u("-1"), task.edtlength2 = u("100"), task.edtindex2 = u("0");
    task.edtpersonId9 = u("10000"), task.edtstartTime3 = u("2021-01-01 00:00:00");
    task.edtendTime3 = u("2021-01-01 23:59:59");
    task.edtpersonId10 = u("10000"), task.edtFaceId2 = u("10000A"), task.edtimgUrl = u("2021-01-01 23:59:59");
    task.cbisEasyWay = 1;
    task.edtFaceId3 = u("10000A");

    account = {u("10000"), u("3698990470"),   u("大胃王"),         u("王麻子"),        u("生产部"),
               u("1"),     u("50000"),        u("25000"),          u("25000"),         u("个人账户余额信息"),
               -1,         u("总余额{%f}元"), u("现金余额{%f}元"), u("补贴余额{%f}元")};
    trade = {u("10000"),
             u("3698990470"),
             u("20210817144813001"),
             u("王麻子"),
             0,
             0,
             u("1"),
             u("1"),
             u("50000"),
             u("25000"),
             u("25000"),
             u("个人账户余额信息"),
             1,
             u("总余额{%f}元"),
             u("现金余额{%f}元"),
             u("补贴余额{%f}元"),
             u("交易成功")};
    record = {u("10000"), u("3698990470"), u("20210817144813001"), u("王麻子"), 0, 0,
              u("1"),     u("00001"),      u("红烧排骨"),          u("1")};
    revocation = {
        u("10000"),        u("3698990470"),   u("20210817144813001"), u("王麻子"),      0, 0, 0, u("1"),
        u("订单撤销成功"), u("用户名：{%s}"), u("撤销金额{%f}元"),    u("卡余额{%f}元")};
    time = {QDateTime(QDate(2022, 6, 28), QTime(12, 0)), QTimeZone(-480 * -60)};
}

void FakeServerWindow::setText(ServiceText field, const QString& text)
{
    written[field] = text;
    switch (field) {
    case ServiceText::edtpersonId:
        account.edtpersonId = text;
        break;
    case ServiceText::edtidcardNum:
        account.edtidcardNum = text;
        break;
    case ServiceText::edtpersonId2:
        trade.edtpersonId2 = text;
        break;
    case ServiceText::edtidcardNum2:
        trade.edtidcardNum2 = text;
        break;
    case ServiceText::edtorderId:
        trade.edtorderId = text;
        break;
    case ServiceText::edtpersonId3:
        record.edtpersonId3 = text;
        break;
    case ServiceText::edtorderId3:
        revocation.edtorderId3 = text;
        break;
    case ServiceText::edttradeTime:
    case ServiceText::edttradeTime2:
    case ServiceText::edttradeTime4:
        break;
    }
}

void FakeServerWindow::select(ServiceChoice field, int index)
{
    const int count = field == ServiceChoice::cbtradeType ? 7 : 6;
    (field == ServiceChoice::cbtradeType ? trade.cbtradeType : trade.cbworkModel2) =
        index >= 0 && index < count ? index : -1;
}
