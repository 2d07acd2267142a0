#include "common/Failure.h"
#include "device/DeviceReply.h"

#include <gtest/gtest.h>

TEST(DeviceReply, TruthOfSuccess)
{
    const std::pair<const char*, bool> cases[] = {
        {R"({"success":true})", true},    {R"({"success":false})", false}, {R"({"success":1})", true},
        {R"({"success":0})", false},      {R"({"success":-2.5})", true},   {R"({"success":0.0})", false},
        {R"({"success":"false"})", true}, {R"({"success":""})", false},    {R"({"success":{}})", true},
        {R"({"success":[]})", true},      {R"({"success":null})", false},
    };
    for (const auto& [text, truth] : cases) {
        const DeviceReply reply = ParseReply(QString::fromLatin1(text));
        ASSERT_TRUE(reply.hasSuccess()) << text;
        EXPECT_EQ(reply.success(), truth) << text;
    }
}

TEST(DeviceReply, WithoutSuccessOrNotAnObjectIsAbnormal)
{
    EXPECT_FALSE(ParseReply("{}").hasSuccess());
    EXPECT_FALSE(ParseReply(R"({"msg":"x"})").hasSuccess());
    EXPECT_FALSE(ParseReply("[1,2]").hasSuccess());
    EXPECT_FALSE(ParseReply("\"success\"").hasSuccess());
}

TEST(DeviceReply, TextNotJsonFails)
{
    EXPECT_THROW(ParseReply(""), Failure);
    EXPECT_THROW(ParseReply("<html>"), Failure);
    EXPECT_THROW(ParseReply(R"({"success":true)"), Failure);
}

TEST(DeviceReply, MemberTextIsStringContentOrJsonInOriginalOrder)
{
    const DeviceReply reply = ParseReply(QStringLiteral(
        R"({"success":true,"data":"序列\"号","result":7,"flag":true,"obj":{"z":1,"a":[true,"x"]},"none":null})"));
    EXPECT_EQ(reply.text("data"), QStringLiteral("序列\"号"));
    EXPECT_EQ(reply.text("result"), "7");
    EXPECT_EQ(reply.text("flag"), "true");
    EXPECT_EQ(reply.text("obj"), R"({"z":1,"a":[true,"x"]})");
    EXPECT_EQ(reply.text("none"), "null");
    EXPECT_THROW(reply.text("msg"), Failure);
}

TEST(DeviceReply, BodyThatIsNotUtf8DecodesToEmptyText)
{
    EXPECT_EQ(DecodeReply(QStringLiteral(R"({"msg":"开"})").toUtf8()), QStringLiteral(R"({"msg":"开"})"));
    EXPECT_EQ(DecodeReply(QByteArray(R"({"msg":")") + "\xBF\xAA" + "\"}"), QString());
}
