// The frame's Windows mechanisms: sleeps at millisecond resolution and the two clocks. (The console
// keyboard is tested with the shared sleep rules.)
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "frame/platform/clock.h"
#include "frame/platform/sleep.h"

namespace zopp {
namespace {

using Clock = std::chrono::steady_clock;

double elapsedMs(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

// The system's default tick of about 15.6 ms would make the event loop's 2 ms sleep last a whole tick.
TEST(Win32Sleep, TwoMillisecondsLastAtLeastTwoAndWellUnderATick) {
    std::vector<double> took;
    for (int i = 0; i < 30; ++i) {
        const Clock::time_point start = Clock::now();
        platform::sleepAtLeastMs(2);
        took.push_back(elapsedMs(start));
    }
    std::sort(took.begin(), took.end());
    EXPECT_GE(took.front(), 2.0);
    EXPECT_LT(took[took.size() / 2], 8.0) << "median of 30 sleeps";
}

TEST(Win32Clock, CounterAndTickCountBothRunForwardInSeconds) {
    const std::optional<double> tick = platform::counterTickSeconds();
    ASSERT_TRUE(tick.has_value());
    EXPECT_GT(*tick, 0.0);
    EXPECT_LT(*tick, 1e-3) << "a high-resolution counter";
    const double counterBefore = platform::counterSeconds(*tick);
    const double ticksBefore = platform::tickCountSeconds();
    platform::sleepAtLeastMs(50);
    const double counterStep = platform::counterSeconds(*tick) - counterBefore;
    const double ticksStep = platform::tickCountSeconds() - ticksBefore;
    EXPECT_GE(counterStep, 0.050);
    EXPECT_LT(counterStep, 1.0);
    EXPECT_GE(ticksStep, 0.030);  // the tick count moves in steps of the system tick
    EXPECT_LT(ticksStep, 1.0);
}

}  // namespace
}  // namespace zopp
