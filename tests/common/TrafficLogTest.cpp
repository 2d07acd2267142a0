#include "common/TrafficLog.h"

#include <gtest/gtest.h>

namespace {

TrafficRecord recordOf(qsizetype requestBytes, qsizetype replyBytes)
{
    TrafficRecord record;
    record.request = QByteArray(requestBytes, 'q');
    record.reply = QByteArray(replyBytes, 'r');
    return record;
}

QList<quint64> ids(const QList<TrafficRecord>& records)
{
    QList<quint64> found;
    for (const TrafficRecord& record : records)
        found << record.id;
    return found;
}

} // namespace

TEST(TrafficLog, TheBudgetOfRealMemoryDropsTheOldestRecordsWhole)
{
    const qint64 cost = recordOf(50, 50).memoryBytes();
    EXPECT_GT(cost, 100 + qint64(sizeof(TrafficRecord)));
    TrafficLog log(10 * cost);
    for (int i = 0; i < 4; ++i)
        log.add(recordOf(60, 40));
    EXPECT_EQ(log.keptBytes(), 4 * cost);
    for (int i = 0; i < 8; ++i)
        log.add(recordOf(50, 50));
    // Twelve records in a budget of ten: the first two are gone.
    EXPECT_EQ(log.size(), 10);
    EXPECT_EQ(log.oldestId(), 3u);
    EXPECT_EQ(log.keptBytes(), 10 * cost);
    EXPECT_EQ(ids(log.since(10)), (QList<quint64>{11, 12}));
    TrafficRecord found;
    EXPECT_FALSE(log.find(2, found));
    ASSERT_TRUE(log.find(3, found));
    EXPECT_EQ(found.request, QByteArray(60, 'q'));

    // A buffer that grew as the bytes came is kept at their size.
    TrafficRecord grown = recordOf(50, 50);
    grown.reply.reserve(64 * 1024);
    log.add(grown);
    EXPECT_EQ(log.keptBytes(), 10 * cost);
}

TEST(TrafficLog, ASideLargerThanATenthOfTheBudgetIsKeptCutWithAMark)
{
    TrafficLog log(1000);
    TrafficRecord big = recordOf(10, 250);
    big.replySize = 5000; // what went over the wire; only 250 of it was copied
    log.add(big);
    const TrafficRecord kept = log.since(0).value(0);
    EXPECT_EQ(kept.request, QByteArray(10, 'q'));
    EXPECT_EQ(kept.reply, QByteArray(100, 'r') + trafficCutMark(4900));
    EXPECT_EQ(kept.replySize, 5000);
    EXPECT_TRUE(kept.reply.endsWith("[... 4900 bytes not kept by the traffic log ...]"));
}

TEST(TrafficLog, SwitchedOffItKeepsNothing)
{
    TrafficLog log;
    log.setEnabled(false);
    EXPECT_EQ(log.add(recordOf(1, 1)), 0u);
    EXPECT_EQ(log.size(), 0);
    log.setEnabled(true);
    EXPECT_EQ(log.add(recordOf(1, 1)), 1u);
}
