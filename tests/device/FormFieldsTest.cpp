#include "device/FormFields.h"

#include <gtest/gtest.h>

namespace {

QByteArray encodedText(const QString& text)
{
    FormFields fields;
    fields.set("v", text);
    return fields.encoded().mid(2);
}

} // namespace

TEST(FormFields, EncodesEveryByteButLettersAndDigits)
{
    EXPECT_EQ(encodedText("192.168.1.10"), "192%2E168%2E1%2E10");
    EXPECT_EQ(encodedText("Tom & Jerry"), "Tom+%26+Jerry");
    EXPECT_EQ(encodedText("a+b"), "a%2Bb");
    EXPECT_EQ(encodedText("x\r\ny"), "x%0D%0Ay");
    EXPECT_EQ(encodedText("-._~*"), "%2D%2E%5F%7E%2A");
    EXPECT_EQ(encodedText("AZaz09"), "AZaz09");
}

TEST(FormFields, WindowTextGoesOutAsGbkUnlessConvertedFirst)
{
    EXPECT_EQ(encodedText(QStringLiteral("开")), "%BF%AA");
    FormFields fields;
    fields.setBytes("v", QStringLiteral("开").toUtf8());
    EXPECT_EQ(fields.encoded(), "v=%E5%BC%80");
}

TEST(FormFields, JoinsInOrderAndLeavesEmptyValuesOut)
{
    FormFields fields;
    fields.set("ip", "192.168.1.10");
    fields.set("mask", "");
    fields.set("DNS", "8.8.8.8");
    EXPECT_EQ(fields.encoded(), "ip=192%2E168%2E1%2E10&DNS=8%2E8%2E8%2E8");
    EXPECT_TRUE(FormFields().encoded().isEmpty());
}

TEST(FormFields, SettingANameAgainKeepsItsPlaceAndTakesTheLastValue)
{
    FormFields fields;
    fields.set("a", "1");
    fields.set("b", "2");
    fields.set("a", "3");
    EXPECT_EQ(fields.encoded(), "a=3&b=2");
    fields.set("a", "");
    EXPECT_EQ(fields.encoded(), "b=2");
}

TEST(FormFields, BodyIsTrimmedOfBlanksAndControlsAtBothEnds)
{
    FormFields fields;
    fields.set(" \tname", "v");
    EXPECT_EQ(fields.encoded(), "name=v");
    EXPECT_EQ(trimBlanksAndControls("\r\n a=b \x01"), "a=b");
    EXPECT_EQ(trimBlanksAndControls(" \t "), "");
}
