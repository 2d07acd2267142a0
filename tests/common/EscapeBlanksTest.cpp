#include "common/EscapeBlanks.h"

#include <gtest/gtest.h>

TEST(EscapeBlanks, OnlyBlanksAreEscaped)
{
    EXPECT_EQ(EscapeBlanks("2019-06-29 00:00:00"), "2019-06-29%2000:00:00");
    EXPECT_EQ(EscapeBlanks("a  b"), "a%20%20b");
    EXPECT_EQ(EscapeBlanks(" "), "%20");
    EXPECT_EQ(EscapeBlanks("100%&a=b?c"), "100%&a=b?c");
    EXPECT_EQ(EscapeBlanks(QString::fromUtf8("张三\t李四")), QString::fromUtf8("张三\t李四"));
    EXPECT_EQ(EscapeBlanks(""), "");
}
