#include "server/RequestDecoding.h"
#include "server/ServerFixture.h"

#include <gtest/gtest.h>

using RequestDecoding::makeRequest;

TEST(RequestDecoding, DocumentIsThePercentDecodedPathWithoutQuery)
{
    const ServerRequest request = makeRequest("/api/heart%42eat+now%zz%4?sn=1", "", -1, "");
    EXPECT_EQ(request.document, "/api/heartBeat now%zz%4");
    EXPECT_EQ(request.params, QStringList{"sn=1"});
    // Decoded bytes are window text (GBK): BF AA is 开.
    EXPECT_EQ(makeRequest("/%BF%AA", "", -1, "").document, QString::fromUtf8("/开"));
}

TEST(RequestDecoding, ParamsComeFromTheQueryEachPieceDecoded)
{
    const ServerRequest request = makeRequest("/x?a=1&b=two%20words&&c=x+y", "", -1, "ignored=1");
    EXPECT_EQ(request.params, (QStringList{"a=1", "b=two words", "c=x y"}));
    EXPECT_EQ(RequestDecoding::parameterListText(request.params), "a=1\r\nb=two words\r\nc=x y\r\n");
    EXPECT_EQ(RequestDecoding::parameterListText({}), "");
}

TEST(RequestDecoding, FormBodyEntriesComeBeforeTheQuery)
{
    const ServerRequest form = makeRequest("/x?q=9", "Application/X-WWW-Form-Urlencoded", 7, "a=1&b=2");
    EXPECT_EQ(form.params, (QStringList{"a=1", "b=2", "q=9"}));
    EXPECT_EQ(form.contentType, "Application/X-WWW-Form-Urlencoded");
    EXPECT_EQ(form.contentLength, 7);
    // Only that exact type counts as a form.
    const ServerRequest withCharset =
        makeRequest("/x?q=9", "application/x-www-form-urlencoded; charset=utf-8", 7, "a=1&b=2");
    EXPECT_EQ(withCharset.params, QStringList{"q=9"});
}

TEST(RequestDecoding, OverTheWireEveryFieldArrives)
{
    ServerFixture served("127.0.3.1");
    served.exchange(postRequest("/attendance/%41?q=9", "application/x-www-form-urlencoded", "a=%31&b=2"));
    ASSERT_EQ(served.window.lines.size(), 2);
    EXPECT_EQ(served.window.linesOf(LogPane::mmoLog),
              (QStringList{"/attendance/A", "a=1\r\nb=2\r\nq=9\r\n"}));
}
