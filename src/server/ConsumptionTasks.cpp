#include "server/ConsumptionTasks.h"

#include "common/TextCodec.h"
#include "server/MealPeriods.h"
#include "server/OrderNumbers.h"
#include "server/RequestDecoding.h"
#include "server/RequestDispatch.h"
#include "server/ServiceRoute.h"
#include "server/TemplateFormat.h"

namespace ConsumptionTasks {

namespace {

QString personObject(const TaskFields& f)
{
    return FormatTemplate(
        QStringLiteral(R"({"id":"%s","name":"%s","idcardNum":"%s","iDNumber":"%s","facePermission":%d,)"
                       R"("idCardPermission":%d,"faceAndCardPermission":%d,"iDPermission":%d,"tag":"%s",)"
                       R"("phone":"%s"})"),
        {f.edtpersonId5, f.edtpersonName5, f.edtidcardNum5, QString(), qint64(f.cbfacePermission + 1),
         qint64(f.cbidCardPermission + 1), qint64(f.cbfaceAndCardPermission + 1),
         qint64(f.cbiDPermission + 1), f.edtTag, f.edtphone});
}

QString faceByUrl(const TaskFields& f, const QString& number, const char* interfaceName)
{
    const QString easyWay = f.cbisEasyWay == 0 ? QStringLiteral("false") : QStringLiteral("true");
    return FormatTemplate(
        QStringLiteral(R"({"taskNo":"%s","interfaceName":"%s","result":"true","personId":"%s",)"
                       R"("faceId":"%s","imgUrl":"%s","isEasyWay":"%s"})"),
        {number, QString::fromLatin1(interfaceName), f.edtpersonId10, f.edtFaceId2, f.edtimgUrl, easyWay});
}

} // namespace

QString taskReplyText(const TaskFields& f, const QString& number)
{
    switch (f.cbTask) {
    case 0:
        return FormatTemplate(
            QStringLiteral(R"({"taskNo":"%s","interfaceName":"setServerAddress","serverurl":"%s",)"
                           R"("interval":%s,"base64Enable":%d,"result":"true"})"),
            {number, f.edtserverurl2, f.edtinterval2, qint64(f.cbBase64Enable2 + 1)});
    case 1:
        return FormatTemplate(
            QStringLiteral(
                R"({"taskNo":"%s","interfaceName":"workConfig","result":"true","config":{"screenCtrl":"%s", )"
                R"("recogDistance":"%s","recogConsure":"%s","recogOvertime":"%s","requestOvertime":"%s",)"
                R"("repeatRegEnable":"%s","repeatConsumInterval":"%s","autoIsOff":"%s","volume":"%s",)"
                R"("workModel":"%s","fixedMoney":%s,"recogConsureOvertime":"%s"}})"),
            {number, choiceNumber(f.cbscreenCtrl), choiceNumber(f.cbrecogDistance),
             choiceNumber(f.cbrecogConsure), f.edtrecogOvertime, f.edtrequestOvertime,
             choiceNumber(f.cbrepeatRegEnable), f.edtrepeatConsumInterval, choiceNumber(f.cbautoIsOff),
             choiceNumber(f.cbvolume), choiceNumber(f.cbworkModel), f.edtfixedMoney,
             f.edtrecogConsureOvertime});
    case 2:
        return FormatTemplate(
            QStringLiteral(
                R"({"taskNo":"%s","interfaceName":"tradeTimeinterval","result":"true","config":[%s]})"),
            {number, MealPeriodArrayText(f.lvDinLevTimes)});
    case 3:
        return FormatTemplate(
            QStringLiteral(
                R"({"taskNo":"%s","interfaceName":"readConsumeRecords","result":"true","personId":"%s",)"
                R"("startTime":"%s","endTime":"%s","length":"%s","order":"%s","index":"%s"})"),
            {number, f.edtpersonId6, f.edtstartTime2, f.edtendTime2, f.edtlength, choiceNumber(f.cborder),
             f.edtindex});
    case 4:
    case 6:
        return FormatTemplate(
            QStringLiteral(R"({"taskNo":"%s","interfaceName":"%s","result":"true","person":%s})"),
            {number, f.cbTask == 4 ? QStringLiteral("person/create") : QStringLiteral("person/update"),
             personObject(f)});
    case 5:
        return FormatTemplate(
            QStringLiteral(R"({"taskNo":"%s","interfaceName":"person/delete","result":"true","id":"%s"})"),
            {number, f.edtpersonId7});
    case 7:
        return FormatTemplate(
            QStringLiteral(
                R"({"taskNo":"%s","interfaceName":"person/findByPage","result":"true","personId":"%s",)"
                R"("length":"%s","index":"%s"})"),
            {number, f.edtpersonId8, f.edtlength2, f.edtindex2});
    case 8:
        return FormatTemplate(
            QStringLiteral(R"({"taskNo":"%s","interfaceName":"person/permissionTime","result":"true",)"
                           R"("personId":"%s","startTime":"%s","endTime":"%s"})"),
            {number, f.edtpersonId9, f.edtstartTime3, f.edtendTime3});
    case 9:
        return FormatTemplate(QStringLiteral(R"({"taskNo":"%s","interfaceName":"person/permissionsDelete",)"
                                             R"("result":"true","personId":"%s"})"),
                              {number, f.edtpersonId7});
    case 10:
        return faceByUrl(f, number, "face/createByUrl");
    case 11:
        return FormatTemplate(
            QStringLiteral(R"({"taskNo":"%s","interfaceName":"face/delete","result":"true","faceId":"%s"})"),
            {number, f.edtFaceId3});
    case 12:
        return faceByUrl(f, number, "face");
    case 13:
        return FormatTemplate(
            QStringLiteral(R"({"taskNo":"%s","interfaceName":"face/find","result":"true","personId":"%s"})"),
            {number, f.edtpersonId7});
    default:
        return {};
    }
}

ServerReply getTask(const ServerRequest& request, ServerWindow& window)
{
    window.appendLine(LogPane::mmoLog, RequestDecoding::parameterListText(request.params));
    const TaskFields fields = window.taskFields();
    QString text;
    if (fields.rbHaveTask2)
        text = taskReplyText(fields, ServiceNumber(window.serviceTime().now));
    else if (fields.rbHaveNoTask2)
        text = QStringLiteral(R"({"result": false})");
    ServerReply reply;
    SendJsonReply(reply, window, text);
    return reply;
}

ServerReply uploadTaskResults(const ServerRequest& request, ServerWindow& window)
{
    window.appendLine(LogPane::mmoLog, TextCodec::fromGbk(request.body));
    ServerReply reply;
    SendJsonReply(reply, window, QStringLiteral(R"({"result": true})"));
    return reply;
}

} // namespace ConsumptionTasks

const char* TaskGroupCaption(int kind)
{
    switch (kind) {
    case 5:
        return "人员删除(批量)任务";
    case 9:
        return "批量有效期删除任务";
    case 10:
        return "照片注册（URL）任务";
    case 12:
        return "照片注册更新（base64+url）任务";
    case 13:
        return "照片注册查询任务";
    default:
        return nullptr;
    }
}
