// The frame's page mechanisms that run under node as in a page: the clock and sleeping.
#include <gtest/gtest.h>

#include <emscripten.h>

#include <chrono>
#include <ctime>

#include "frame/timing.h"
#include "frame/web/host.h"

namespace zopp {
namespace {

using std::chrono::milliseconds;

TEST(PageClock, CountsTheAbsoluteTimeSoEveryVisitSeedsItsOwnDice) {
    const double first = timerSeconds();
    EXPECT_NEAR(first, static_cast<double>(std::time(nullptr)), 2.0);
    EXPECT_LE(first, timerSeconds());
}

int stepsBeforeSleeping = 0;

TEST(PageSleep, RunsTheHostsStepBeforeYieldingAndLastsAtLeastItsTime) {
    stepsBeforeSleeping = 0;
    web::setBeforeSleepHook([] { ++stepsBeforeSleeping; });
    const auto start = std::chrono::steady_clock::now();
    sleepMs(30);
    const auto took = std::chrono::steady_clock::now() - start;
    web::setBeforeSleepHook(nullptr);
    EXPECT_GE(took, milliseconds(30));
    EXPECT_EQ(stepsBeforeSleeping, 1);
}

TEST(PageSleep, InputBeforeItsTimeIsUpDoesNotShortenIt) {
    sleepMs(1);  // the page's wake exists once the program has slept
    // clang-format off
    EM_ASM(setTimeout(() => Module.zoppWakeProgram(), 1));
    // clang-format on
    const auto start = std::chrono::steady_clock::now();
    sleepMs(40);
    EXPECT_GE(std::chrono::steady_clock::now() - start, milliseconds(40));
}

}  // namespace
}  // namespace zopp
