#include "common/UnixTime.h"

#include <gtest/gtest.h>

namespace {

QDateTime wallClock(int year, int month, int day, int hour, int minute = 0, int second = 0, int msec = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second, msec));
}

const QTimeZone shanghai("Asia/Shanghai");
const QTimeZone bogota("America/Bogota");
const QTimeZone newYork("America/New_York");

} // namespace

TEST(LocalToUnixSeconds, ZonesWithoutDaylightSaving)
{
    const QDateTime noon = wallClock(2022, 6, 28, 12);
    EXPECT_EQ(LocalToUnixSeconds(noon, shanghai), "1656388800");
    EXPECT_EQ(LocalToUnixSeconds(noon, QTimeZone::utc()), "1656417600");
    EXPECT_EQ(LocalToUnixSeconds(noon, bogota), "1656435600");
    // The same offsets as fixed zones.
    EXPECT_EQ(LocalToUnixSeconds(noon, QTimeZone(8 * 3600)), "1656388800");
    EXPECT_EQ(LocalToUnixSeconds(noon, QTimeZone(-5 * 3600)), "1656435600");
}

TEST(LocalToUnixSeconds, EpochAndBefore)
{
    EXPECT_EQ(LocalToUnixSeconds(wallClock(1970, 1, 1, 8), shanghai), "0");
    EXPECT_EQ(LocalToUnixSeconds(wallClock(1969, 12, 31, 23), shanghai), "-32400");
    EXPECT_EQ(LocalToUnixSeconds(wallClock(1969, 12, 31, 23, 59, 59), QTimeZone::utc()), "-1");
}

TEST(LocalToUnixSeconds, DaylightSavingTimeGivesTheTrueUnixTime)
{
    EXPECT_EQ(LocalToUnixSeconds(wallClock(2022, 7, 1, 12), newYork), "1656691200");  // EDT, UTC-4
    EXPECT_EQ(LocalToUnixSeconds(wallClock(2022, 1, 15, 12), newYork), "1642266000"); // EST, UTC-5
    // 02:30 does not exist on the spring-forward day: counted with the offset before it.
    EXPECT_EQ(LocalToUnixSeconds(wallClock(2022, 3, 13, 2, 30), newYork), "1647156600");
    // 01:30 occurs twice on the fall-back day: the first occurrence.
    EXPECT_EQ(LocalToUnixSeconds(wallClock(2022, 11, 6, 1, 30), newYork), "1667712600");
}

TEST(LocalToUnixSeconds, ReadsTheWallClockWhateverZoneTheValueCarries)
{
    const QDateTime utcNoon(QDate(2022, 6, 28), QTime(12, 0), Qt::UTC);
    EXPECT_EQ(LocalToUnixSeconds(utcNoon, shanghai), "1656388800");
}

TEST(LocalToUnixSeconds, RoundsToTheNearestSecondWithHalvesToEven)
{
    const QTimeZone utc = QTimeZone::utc();
    EXPECT_EQ(LocalToUnixSeconds(wallClock(1970, 1, 1, 0, 0, 10, 499), utc), "10");
    EXPECT_EQ(LocalToUnixSeconds(wallClock(1970, 1, 1, 0, 0, 10, 501), utc), "11");
    EXPECT_EQ(LocalToUnixSeconds(wallClock(1970, 1, 1, 0, 0, 10, 500), utc), "10");
    EXPECT_EQ(LocalToUnixSeconds(wallClock(1970, 1, 1, 0, 0, 11, 500), utc), "12");
    EXPECT_EQ(LocalToUnixSeconds(wallClock(1969, 12, 31, 23, 59, 58, 500), utc), "-2");
}

TEST(LocalToUnixSeconds, SystemZoneOverloadUsesTheConfiguredZone)
{
    const QDateTime noon = wallClock(2022, 6, 28, 12);
    EXPECT_EQ(LocalToUnixSeconds(noon), LocalToUnixSeconds(noon, QTimeZone::systemTimeZone()));
}

TEST(DayToUnixSeconds, NearestWholeDayWithHalvesToTheEvenDay)
{
    EXPECT_EQ(DayToUnixSeconds(wallClock(2019, 6, 29, 8, 45, 35)), 1561766400);
    EXPECT_EQ(DayToUnixSeconds(wallClock(2019, 6, 29, 15)), 1561852800);
    EXPECT_EQ(DayToUnixSeconds(wallClock(2019, 6, 29, 12)), 1561766400); // day 18076.5
    EXPECT_EQ(DayToUnixSeconds(wallClock(2019, 6, 30, 12)), 1561939200); // day 18077.5
    EXPECT_EQ(DayToUnixSeconds(wallClock(2019, 6, 29, 12, 0, 0, 1)), 1561852800);
    EXPECT_EQ(DayToUnixSeconds(wallClock(1969, 12, 31, 8)), -86400);
    EXPECT_EQ(DayToUnixSeconds(wallClock(1969, 12, 31, 12)), 0); // day -0.5
}
