#include "server/ServiceBody.h"

#include <gtest/gtest.h>

TEST(ServiceBody, TextThatIsNotJsonYieldsNothing)
{
    for (const char* text : {"", "abc", "{", R"({"a":1,})", "{} x"})
        EXPECT_FALSE(ParseServiceBody(QString::fromLatin1(text))) << text;
    // Nested past what the JSON library can copy and write out on the stack.
    const QString deep = R"({"personId":)" + QString(200000, '[') + QString(200000, ']') + "}";
    EXPECT_FALSE(ParseServiceBody(deep));
    EXPECT_TRUE(ParseServiceBody("{}"));
    EXPECT_TRUE(ParseServiceBody(" [1] "));
}

TEST(ServiceBody, KeysAreReadAtTheTopLevelByExactName)
{
    const auto body = ParseServiceBody(QString::fromUtf8(
        R"({"personId":"20001","n":12,"f":2.9,"t":true,"s":"4","bad":"x","o":{"personId":"no"},"z":null})"));
    ASSERT_TRUE(body);
    EXPECT_EQ(body->text("personId"), "20001");
    EXPECT_EQ(body->text("n"), "12");
    EXPECT_EQ(body->text("o"), R"({"personId":"no"})");
    EXPECT_EQ(body->text("z"), "null");
    EXPECT_EQ(body->text("PersonId"), std::nullopt);
    EXPECT_EQ(body->integer("n"), 12);
    EXPECT_EQ(body->integer("f"), 2);
    EXPECT_EQ(body->integer("t"), 1);
    EXPECT_EQ(body->integer("s"), 4);
    EXPECT_EQ(body->integer("bad"), 0);
    EXPECT_EQ(body->integer("missing"), std::nullopt);
    EXPECT_EQ(ParseServiceBody("[1]")->text("personId"), std::nullopt);
}
