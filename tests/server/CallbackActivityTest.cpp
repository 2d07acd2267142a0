#include "server/CallbackActivity.h"
#include "server/RequestDecoding.h"

#include <gtest/gtest.h>

namespace {

ServerRequest request(const char* target, const QByteArray& body, const char* from)
{
    ServerRequest made = RequestDecoding::makeRequest(target, "application/x-www-form-urlencoded",
                                                      body.size(), body);
    made.remoteAddress = from;
    return made;
}

TEST(CallbackActivity, CountsEachCallerByKeyOrElseByAddress)
{
    struct Case
    {
        const char* target;
        QByteArray body;
        const char* from;
        std::optional<CallbackKind> kind;
        const char* key;
    };
    const Case cases[] = {
        {"/device/heartBeat", "deviceKey=QM1&ip=x", "127.0.60.1", CallbackKind::Heartbeat, "QM1"},
        {"/attendance?deviceKey=QM1&personId=7", "", "127.0.60.9", CallbackKind::Recognition, "QM1"},
        {"/lan/QRCodeCallback", "qrcode=1", "127.0.60.2", CallbackKind::Recognition, ""},
        {"/api/queryAccount", R"( {"deviceKey":"QM2","idcardNum":"1"})", "127.0.60.2", CallbackKind::Consumption,
         "QM2"},
        {"/api/onlineTrade", "[{\"deviceKey\":\"QM3\"}]", "127.0.60.3", CallbackKind::Consumption, ""},
        {"/favicon.ico", "", "127.0.60.4", std::nullopt, ""},
    };
    CallbackActivity activity;
    for (const Case& c : cases) {
        const std::optional<CallbackSighting> sighting = SightingOf(request(c.target, c.body, c.from));
        ASSERT_EQ(sighting.has_value(), c.kind.has_value()) << c.target;
        if (!sighting)
            continue;
        EXPECT_EQ(sighting->kind, *c.kind) << c.target;
        EXPECT_EQ(sighting->deviceKey, c.key) << c.target;
        activity.note(*sighting);
    }
    // QM1 moved address; the keyless QR code of 127.0.60.2 is QM2's once its key came from there.
    const std::vector<CallerActivity> callers = activity.callers();
    ASSERT_EQ(callers.size(), 3u);
    EXPECT_EQ(callers[0].deviceKey, "QM1");
    EXPECT_EQ(callers[0].address, "127.0.60.9");
    EXPECT_EQ(callers[0].heartbeats, 1);
    EXPECT_EQ(callers[0].recognitions, 1);
    EXPECT_EQ(callers[1].deviceKey, "QM2");
    EXPECT_EQ(callers[1].recognitions, 1);
    EXPECT_EQ(callers[1].consumptions, 1);
    EXPECT_EQ(callers[2].address, "127.0.60.3");
    EXPECT_TRUE(callers[2].deviceKey.isEmpty());

    const auto now = *callers[0].lastHeartbeatAt;
    const std::chrono::seconds interval(10);
    EXPECT_EQ(PresenceText(nullptr, now, interval), "未知");
    EXPECT_EQ(PresenceText(&callers[0], now + 3 * interval, interval), "在线");
    EXPECT_EQ(PresenceText(&callers[0], now + 3 * interval + std::chrono::milliseconds(1), interval), "离线");
    EXPECT_EQ(PresenceText(&callers[1], now, interval), "离线");

    for (int key = 0; key < 2000; ++key)
        activity.note({CallbackKind::Heartbeat, QString::number(key), "127.0.60.5"});
    EXPECT_EQ(activity.callers().size(), CallbackActivity::kMaxCallers);
}

} // namespace
