#include "common/TextCodec.h"

#include <gtest/gtest.h>

TEST(TextCodec, GbkRoundTripOfChineseText)
{
    const QString open = QString::fromUtf8("开");
    EXPECT_EQ(TextCodec::toGbk(open), QByteArray("\xBF\xAA"));
    EXPECT_EQ(TextCodec::fromGbk(QByteArray("\xBF\xAA")), open);
    const QString key = QString::fromUtf8("是否打开测温模式");
    EXPECT_EQ(TextCodec::fromGbk(TextCodec::toGbk(key)), key);
}

TEST(TextCodec, CharacterThatGbkLacksBecomesQuestionMark)
{
    EXPECT_EQ(TextCodec::toGbk(QString::fromUtf8("a\xF0\x9F\x98\x80z")), QByteArray("a?z"));
}

TEST(TextCodec, StrictUtf8GivesEmptyTextForInvalidBytes)
{
    EXPECT_EQ(TextCodec::fromUtf8Strict(QByteArray("\xE5\xBC\x80")), QString::fromUtf8("开"));
    EXPECT_EQ(TextCodec::fromUtf8Strict(QByteArray("{\"msg\":\"\xBF\xAA\"}")), QString());
    EXPECT_EQ(TextCodec::fromUtf8Strict(QByteArray("\xE5\xBC")), QString());
    EXPECT_EQ(TextCodec::fromUtf8Strict(QByteArray()), QString());
}
