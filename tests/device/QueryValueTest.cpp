#include "device/QueryValue.h"

#include <gtest/gtest.h>

TEST(QueryValue, EncodesOnlyWhatWouldChangeTheRequest)
{
    const std::pair<const char*, const char*> cases[] = {
        {"58104726", "58104726"},
        {"admin", "admin"},
        {"192.168.1.10:8090-x_y~!*()/", "192.168.1.10:8090-x_y~!*()/"},
        {"a#b&c d", "a%23b%26c%20d"},
        {"100%+1=2?", "100%25%2B1%3D2%3F"},
        {"a\\b", "a%5Cb"},
        {"\t\r\n\x7F", "%09%0D%0A%7F"},
        {"开", "%BF%AA"},
        {"", ""},
    };
    for (const auto& [text, encoded] : cases)
        EXPECT_EQ(QueryValue(QString::fromUtf8(text)), QString::fromLatin1(encoded)) << text;
}
