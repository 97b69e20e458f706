// When the refresh loop must wake on its own: on a clock the test drives.
#include "screen/window/refresh_schedule.h"

#include <gtest/gtest.h>

namespace zopp {
namespace {

using namespace std::chrono_literals;
using Clock = RefreshSchedule::Clock;

const Clock::time_point start{std::chrono::seconds(1000)};

TEST(RefreshSchedule, ANewWindowKeepsToThePeriodUntilItHasSettled) {
    RefreshSchedule schedule(start);
    EXPECT_EQ(schedule.waitLimit(start), refreshPeriod);
    for (auto t = start + refreshPeriod; t < start + inputSettleTime; t += refreshPeriod) {
        schedule.cycleBegins(t, false);
        EXPECT_EQ(schedule.waitLimit(t), refreshPeriod);
    }
    schedule.cycleBegins(start + inputSettleTime, false);
    EXPECT_EQ(schedule.waitLimit(start + inputSettleTime), std::nullopt) << "idle: no limit";
}

TEST(RefreshSchedule, InputKeepsThePeriodForTheSettleTimeAfterIt) {
    RefreshSchedule schedule(start);
    const auto input = start + 5s;  // long idle before
    EXPECT_EQ(schedule.waitLimit(input), std::nullopt);
    schedule.cycleBegins(input, true);
    EXPECT_EQ(schedule.waitLimit(input), refreshPeriod) << "the period starts again from the input";
    schedule.cycleBegins(input + 100ms, true);  // more input extends the settling
    EXPECT_NE(schedule.waitLimit(input + 100ms + inputSettleTime - 1ms), std::nullopt) << "still settling";
    EXPECT_EQ(schedule.waitLimit(input + 100ms + inputSettleTime), std::nullopt);
}

TEST(RefreshSchedule, WakesBetweenBoundariesKeepThePhaseAndStallsDoNotCatchUp) {
    RefreshSchedule schedule(start);
    schedule.cycleBegins(start + 3ms, false);  // woken by drawing
    EXPECT_EQ(schedule.waitLimit(start + 3ms), 7ms);
    EXPECT_EQ(schedule.waitLimit(start + 12ms), Clock::duration::zero()) << "a passed boundary: no wait";
    schedule.cycleBegins(start + 12ms, false);
    EXPECT_EQ(schedule.waitLimit(start + 12ms), 8ms);
    schedule.cycleBegins(start + 55ms, false);  // a stall over two boundaries
    EXPECT_EQ(schedule.waitLimit(start + 55ms), refreshPeriod);
    schedule.cycleBegins(start + 75ms, false);  // a period late, right on the boundary after the next
    EXPECT_EQ(schedule.waitLimit(start + 75ms), refreshPeriod);
}

}  // namespace
}  // namespace zopp
