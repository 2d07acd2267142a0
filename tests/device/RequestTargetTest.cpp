#include "common/Failure.h"
#include "device/CookieJar.h"
#include "device/RequestTarget.h"

#include <gtest/gtest.h>

TEST(RequestTarget, SplitsHostPortAndTheRawTarget)
{
    const RequestTarget target = SplitCommandUrl("http://172.16.1.115:8090/person/find?id=a b&pass=%41");
    EXPECT_EQ(target.host, "172.16.1.115");
    EXPECT_EQ(target.port, 8090);
    EXPECT_EQ(target.pathAndQuery, "/person/find?id=a b&pass=%41");
}

TEST(RequestTarget, MissingPathPortDefaultsAndBadPort)
{
    EXPECT_EQ(SplitCommandUrl("http://host").pathAndQuery, "/");
    EXPECT_EQ(SplitCommandUrl("http://host").port, 80);
    EXPECT_EQ(SplitCommandUrl("http://host:8090?x=1").pathAndQuery, "/?x=1");
    EXPECT_EQ(SplitCommandUrl("http://host:8090\\a\\b#c").pathAndQuery, "/a/b");
    EXPECT_EQ(SplitCommandUrl("http://:0/getDeviceKey").host, "");
    EXPECT_THROW(SplitCommandUrl("http://host:80x/"), Failure);
}

TEST(CookieJar, KeepsNameValuePairsPerHostInFirstSetOrder)
{
    CookieJar jar;
    jar.keep("Terminal", "b=1; Path=/");
    jar.keep("terminal", " a = 2 ");
    jar.keep("terminal", "b=3; HttpOnly");
    jar.keep("terminal", "no pair");
    EXPECT_EQ(jar.headerFor("TERMINAL"), "b=3; a=2");
    EXPECT_EQ(jar.headerFor("other"), "");
}
