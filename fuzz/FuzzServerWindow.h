#pragma once

#include "server/FakeServerWindow.h"

// The window the routes see while fuzzing: the consumption fields hold the
// window's defaults (those of the server tests' window) and the reply memos
// their sample texts. One byte of the input picks the task page's state, the
// heartbeat's radio buttons and the checked meal periods, so that every task
// kind is reached. Lines are counted, not kept.
class FuzzServerWindow : public FakeServerWindow
{
public:
    explicit FuzzServerWindow(unsigned char state = 0)
    {
        heartbeat = {(state & 1) != 0, (state & 2) != 0};
        task.rbHaveTask2 = (state & 1) != 0;
        task.rbHaveNoTask2 = (state & 2) != 0;
        // No kind chosen, the fourteen kinds, and one past them.
        task.cbTask = (state >> 2) % 16 - 1;
        for (qsizetype row = 0; row < task.lvDinLevTimes.size(); ++row)
            task.lvDinLevTimes[row].checked = (state >> (row % 6)) & 1;
        memos[ServiceMemo::mmqueryTerminalSum] = QString::fromUtf8(
            "{\"result\":1,\"success\":true,\"msg\":\"查询成\r\n功\",\"index\":0,\"size\":1,\"total\":1,"
            "\"data\":\r\n[{\"tradeDate\":\"2021-01-\r\n01\",\"daySumMoney\":1000,\"daySumCount\":10,"
            "\"dayRevoCount\":0,\"mealLi\r\nst\":\r\n[{\"number\":\"1\",\"mealName\":\"早\r\n餐\","
            "\"partSumMoney\":1000,\"partSumCount\":10,\"revoSumCount\":0}]}]}");
        memos[ServiceMemo::mmqueryOrderMenu] = QString::fromUtf8(
            "{\"result\":1,\"success\":true,\"msg\":\"查询成功\",\"data\":\r\n{\"personId\":\"10000\","
            "\"idcardNum\":\"3698990470\",\"roleName\":\"研究\r\n员\",\"personName\":\"王麻\r\n子\","
            "\"menuList\":[{\"orderId\":\"202108171748233\",\"mealDate\":\"2021-\r\n08-\r\n17\"}]}}");
        memos[ServiceMemo::mmconfirmOrderMenu] = QString::fromUtf8(
            "{\"result\":1,\"success\":true,\"msg\":\"查询成功\",\"data\":{\"title\":\"验餐\r\n成功\","
            "\"contentText1\":\"总余\r\n额：100.00元\",\"contentText2\":\"现金：55.00元\","
            "\"contentText3\":\"补贴\r\n：45.00元\"}}");
    }

    void appendLine(LogPane, const QString& line) override { logged += line.size(); }
    void showUploadedPhoto(const QByteArray& content) override { shown += content.size(); }

    qsizetype logged = 0;
    qsizetype shown = 0;
};
