// The frame's page mechanisms that run under node as in a page: the clock and sleeping.
#include <gtest/gtest.h>

#include <emscripten.h>

#include <chrono>
#include <ctime>

#include "frame/events.h"
#include "frame/timing.h"

namespace zopp {
namespace {

using std::chrono::milliseconds;

TEST(PageClock, CountsTheAbsoluteTimeSoEveryVisitSeedsItsOwnDice) {
    const double first = timerSeconds();
    EXPECT_NEAR(first, static_cast<double>(std::time(nullptr)), 2.0);
    EXPECT_LE(first, timerSeconds());
}

TEST(PageSleep, RunsTheHostsStepBeforeYieldingAndLastsAtLeastItsTime) {
    int stepsBeforeSleeping = 0;
    setBeforeSleepHook([](void* steps) { ++*static_cast<int*>(steps); }, &stepsBeforeSleeping);
    const auto start = std::chrono::steady_clock::now();
    sleepMs(30);
    const auto took = std::chrono::steady_clock::now() - start;
    setBeforeSleepHook(nullptr, nullptr);
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

TEST(PageSleep, ShortSleepsWithAQuietScreenComeBackOnTime) {
    // A screen's queue is open and the program found it empty: without the declaration that only window
    // events give it work, each sleep still ends when its time is up.
    openEventQueue();
    ScreenEvent event{};
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(pollEvent(&event), 0);
        sleepMs(2);
    }
    const auto took = std::chrono::steady_clock::now() - start;
    closeEventQueue();
    const auto reference = std::chrono::steady_clock::now();
    sleepMs(40);
    EXPECT_GE(took, milliseconds(40));
    EXPECT_LT(took, 5 * (std::chrono::steady_clock::now() - reference))
        << "the sleeps waited for input that never came";
}

}  // namespace
}  // namespace zopp
