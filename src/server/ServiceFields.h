#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTimeZone>

// Plain copies of the consumption pages' fields that the routes read, taken in
// the request's window step. Members carry the names of their fields; a combo
// box contributes its selected index (-1 when none).

// One row of the meal-period list.
struct MealPeriodRow
{
    bool checked = false;
    QString caption;
    // The seven cells after the caption, left to right.
    QStringList subItems;
};

struct TaskFields
{
    bool rbHaveTask2 = false;
    bool rbHaveNoTask2 = false;
    int cbTask = -1;

    QString edtserverurl2, edtinterval2;
    int cbBase64Enable2 = -1;

    int cbscreenCtrl = -1, cbrecogDistance = -1, cbrecogConsure = -1, cbrepeatRegEnable = -1,
        cbautoIsOff = -1, cbvolume = -1, cbworkModel = -1;
    QString edtrecogOvertime, edtrequestOvertime, edtfixedMoney, edtrepeatConsumInterval,
        edtrecogConsureOvertime;

    QList<MealPeriodRow> lvDinLevTimes;

    QString edtpersonId6, edtstartTime2, edtendTime2, edtlength, edtindex;
    int cborder = -1;

    QString edtpersonId5, edtidcardNum5, edtpersonName5, edtTag, edtphone;
    int cbfacePermission = -1, cbidCardPermission = -1, cbfaceAndCardPermission = -1, cbiDPermission = -1;

    QString edtpersonId7;
    QString edtpersonId8, edtlength2, edtindex2;
    QString edtpersonId9, edtstartTime3, edtendTime3;
    QString edtpersonId10, edtFaceId2, edtimgUrl;
    int cbisEasyWay = -1;
    QString edtFaceId3;
};

struct AccountFields
{
    QString edtpersonId, edtidcardNum, edtroleName, edtpersonName, edtdepartName, edtaccountState,
        edtaccountBalance, edtpersonalBalance, edtsubsidyBalance, edttitle;
    int cbResult2 = -1;
    QString edtcontentText1, edtcontentText2, edtcontentText3;
};

struct TradeFields
{
    QString edtpersonId2, edtidcardNum2, edtorderId, edtpersonName2;
    int cbtradeType = -1, cbworkModel2 = -1;
    QString edttradeSeq, edttradePrice2, edtaccountBalance2, edtpersonalBalance2, edtsubsidyBalance2,
        edttitle2;
    int cbResult = -1;
    QString edtcontentText12, edtcontentText22, edtcontentText32, edtMsg;
};

struct RecordFields
{
    QString edtpersonId3, edtidcardNum3, edtorderId2, edtpersonName3;
    int cbtradeType2 = -1, cbworkModel3 = -1;
    QString edttradePrice3, edtmenuId, edtmenuName;
    // Of the trade group.
    QString edttradeSeq;
};

struct RevocationFields
{
    QString edtpersonId4, edtidcardNum4, edtorderId3, edtpersonName4;
    int cbtradeType3 = -1, cbworkModel4 = -1, cbtradeFlow = -1;
    QString edttradePrice4, edttitle3, edtcontentText13, edtcontentText23, edtcontentText33;
};

// The edit fields the routes write.
enum class ServiceText
{
    edtpersonId,
    edtidcardNum,
    edtpersonId2,
    edtidcardNum2,
    edtorderId,
    edttradeTime,
    edtpersonId3,
    edttradeTime2,
    edtorderId3,
    edttradeTime4,
};

// The combo boxes the routes select in.
enum class ServiceChoice
{
    cbtradeType,
    cbworkModel2,
};

// The memos that hold the sample replies.
enum class ServiceMemo
{
    mmqueryTerminalSum,
    mmqueryOrderMenu,
    mmconfirmOrderMenu,
};

// The moment a request is answered, and the zone its Unix seconds are reckoned in.
struct ServiceTime
{
    QDateTime now;
    QTimeZone zone;
};
