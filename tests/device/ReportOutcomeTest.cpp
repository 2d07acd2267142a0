#include "common/Failure.h"
#include "device/ReportOutcome.h"

#include <gtest/gtest.h>

namespace {

OutcomeTexts texts()
{
    return {.success = QStringLiteral("成功:%s"),
            .successMember = "data",
            .failure = QStringLiteral("失败[%s]"),
            .abnormal = QStringLiteral("异常")};
}

auto replying(const char* body)
{
    return [body] { return QByteArray(body); };
}

} // namespace

TEST(ReportOutcome, SuccessValueComesFromTheNamedMemberAsText)
{
    CommandLog log;
    const ReportedOutcome reported =
        ReportOutcome(log, "h", replying(R"({"success":1,"data":{"b":1,"a":2}})"), texts());
    EXPECT_EQ(reported.outcome, Outcome::Success);
    EXPECT_EQ(log.lines.last(), QStringLiteral(R"(h成功:{"b":1,"a":2})"));
    ASSERT_TRUE(reported.reply);
}

TEST(ReportOutcome, WithoutAnExceptionLineTheErrorIsKeptAfterTheLinesSoFar)
{
    OutcomeTexts unguarded = texts();
    unguarded.exception.reset();
    CommandLog log;
    EXPECT_EQ(ReportOutcome(log, "h", replying(R"({"success":false})"), unguarded).outcome, Outcome::Error);
    EXPECT_EQ(log.lines, QStringList{R"({"success":false})"});
    ASSERT_TRUE(log.error);
    EXPECT_TRUE(log.error->contains("msg"));

    CommandLog failed;
    ReportOutcome(
        failed, "h", []() -> QByteArray { throw Failure("HTTP/1.1 404 Not Found"); }, unguarded);
    EXPECT_TRUE(failed.lines.isEmpty());
    EXPECT_EQ(failed.error, QString("HTTP/1.1 404 Not Found"));
}

TEST(ReportOutcome, RawLineCanBeLeftOutAndFixedFailureTextNeedsNoMsg)
{
    OutcomeTexts quiet = texts();
    quiet.rawLine = false;
    quiet.failure = QStringLiteral("失败");
    CommandLog log;
    EXPECT_EQ(ReportOutcome(log, "h", replying(R"({"success":""})"), quiet).outcome, Outcome::Failure);
    EXPECT_EQ(log.lines, QStringList{QStringLiteral("h失败")});
}
