#include "common/JsonText.h"

#include <gtest/gtest.h>

namespace {

std::string nested(int depth, const std::string& inner = "1")
{
    return std::string(depth, '[') + inner + std::string(depth, ']');
}

} // namespace

TEST(JsonText, NestingBeyondTheLimitIsNoJson)
{
    EXPECT_EQ(ParseJsonText(nested(kMaxJsonDepth)).dump().size(), 2u * kMaxJsonDepth + 1);
    EXPECT_TRUE(ParseJsonText(nested(kMaxJsonDepth + 1)).is_discarded());
    EXPECT_TRUE(ParseJsonText(R"({"a":)" + nested(200000) + "}").is_discarded());
    EXPECT_TRUE(ParseJsonText(std::string(200000, '{')).is_discarded());
    // Brackets inside strings, escaped quotes among them, do not nest.
    const std::string text = R"(["\"[[[", ")" + std::string(2000, '{') + R"("])";
    EXPECT_EQ(ParseJsonText(text).size(), 2u);
    EXPECT_TRUE(ParseJsonText("{").is_discarded());
    EXPECT_TRUE(ParseJsonText("").is_discarded());
}
