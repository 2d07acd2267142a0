#include "common/Failure.h"
#include "common/IntegerText.h"

#include <gtest/gtest.h>

TEST(ReadInteger, AcceptedForms)
{
    const std::pair<const char*, int> cases[] = {
        {"80", 80},          {" 80", 80},         {"   -5", -5},         {"+7", 7},
        {"$50", 0x50},       {"x1F", 0x1F},       {"X1f", 0x1F},        {"0x10", 16},
        {"0X10", 16},        {"-$10", -16},       {"0", 0},             {"007", 7},
        {"2147483647", 2147483647},               {"-2147483648", -2147483647 - 1},
        {"$7FFFFFFF", 2147483647},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(ReadInteger(QString::fromLatin1(text)), value) << text;
}

TEST(ReadInteger, RejectedFormsNameTheText)
{
    const char* cases[] = {"",   " ",  "8O",  "80 ", "abc", "-",   "$",         "0x",
                           "1.5", "1e3", "--1", "+-1", "\t1", "$G", "2147483648", "-2147483649",
                           "$80000000"};
    for (const char* text : cases) {
        try {
            ReadInteger(QString::fromLatin1(text));
            ADD_FAILURE() << "accepted " << text;
        } catch (const Failure& error) {
            EXPECT_EQ(error.text(), QStringLiteral("'%1' is not a valid integer value").arg(text));
        }
    }
}
