// When the refresh loop must wake on its own: on a clock the test drives.
#include "screen/window/refresh_schedule.h"

#include <gtest/gtest.h>

namespace zopp {
namespace {

using namespace std::chrono_literals;
using Clock = RefreshSchedule::Clock;

const Clock::time_point kStart{std::chrono::seconds(1000)};

TEST(RefreshSchedule, ANewWindowKeepsToThePeriodUntilItHasSettled) {
    RefreshSchedule schedule(kStart);
    EXPECT_EQ(schedule.waitLimit(kStart), kRefreshPeriod);
    for (auto t = kStart + kRefreshPeriod; t < kStart + kInputSettleTime; t += kRefreshPeriod) {
        schedule.cycleBegins(t, false);
        EXPECT_EQ(schedule.waitLimit(t), kRefreshPeriod);
    }
    schedule.cycleBegins(kStart + kInputSettleTime, false);
    EXPECT_EQ(schedule.waitLimit(kStart + kInputSettleTime), std::nullopt) << "idle: no limit";
}

TEST(RefreshSchedule, InputKeepsThePeriodForTheSettleTimeAfterIt) {
    RefreshSchedule schedule(kStart);
    const auto input = kStart + 5s;  // long idle before
    EXPECT_EQ(schedule.waitLimit(input), std::nullopt);
    schedule.cycleBegins(input, true);
    EXPECT_EQ(schedule.waitLimit(input), kRefreshPeriod) << "the period starts again from the input";
    schedule.cycleBegins(input + 100ms, true);  // more input extends the settling
    EXPECT_NE(schedule.waitLimit(input + 100ms + kInputSettleTime - 1ms), std::nullopt) << "still settling";
    EXPECT_EQ(schedule.waitLimit(input + 100ms + kInputSettleTime), std::nullopt);
}

TEST(RefreshSchedule, WakesBetweenBoundariesKeepThePhaseAndStallsDoNotCatchUp) {
    RefreshSchedule schedule(kStart);
    schedule.cycleBegins(kStart + 3ms, false);  // woken by drawing
    EXPECT_EQ(schedule.waitLimit(kStart + 3ms), 7ms);
    EXPECT_EQ(schedule.waitLimit(kStart + 12ms), Clock::duration::zero()) << "a passed boundary: no wait";
    schedule.cycleBegins(kStart + 12ms, false);
    EXPECT_EQ(schedule.waitLimit(kStart + 12ms), 8ms);
    schedule.cycleBegins(kStart + 55ms, false);  // a stall over two boundaries
    EXPECT_EQ(schedule.waitLimit(kStart + 55ms), kRefreshPeriod);
    schedule.cycleBegins(kStart + 75ms, false);  // a period late, right on the boundary after the next
    EXPECT_EQ(schedule.waitLimit(kStart + 75ms), kRefreshPeriod);
}

}  // namespace
}  // namespace zopp
