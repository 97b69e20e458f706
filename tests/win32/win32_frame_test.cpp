// The frame's Windows mechanisms: sleeps at millisecond resolution, the two clocks and which exceptions
// the fault handlers leave alone. (The console keyboard is tested with the shared sleep rules; the fault
// reports with the frame's probe.)
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "frame/platform/clock.h"
#include "frame/platform/sleep.h"
#include "frame/runtime.h"

namespace zopp {
namespace {

using Clock = std::chrono::steady_clock;

double elapsedMs(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

// The system's default tick of about 15.6 ms would make the event loop's 2 ms sleep last a whole tick.
// Each 2 ms sleep is compared with a sleep of a tick taken right after it: a busy machine delays both.
TEST(Win32Sleep, TwoMillisecondsLastAtLeastTwoAndWellUnderATick) {
    double shortest = 1e9;
    int aboutATick = 0;
    for (int i = 0; i < 30; ++i) {
        Clock::time_point start = Clock::now();
        platform::sleepAtLeastMs(2);
        const double took = elapsedMs(start);
        start = Clock::now();
        platform::sleepAtLeastMs(16);
        shortest = std::min(shortest, took);
        aboutATick += took >= elapsedMs(start) / 2;
    }
    EXPECT_GE(shortest, 2.0);
    EXPECT_LT(aboutATick, 15) << "of 30 sleeps of 2 ms, this many took half a tick's sleep or more";
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

LONG CALLBACK skipRaisedAccessViolation(EXCEPTION_POINTERS* exception) {
    if (exception->ExceptionRecord->ExceptionCode != EXCEPTION_ACCESS_VIOLATION)
        return EXCEPTION_CONTINUE_SEARCH;
    return EXCEPTION_CONTINUE_EXECUTION;  // a raised exception continues after its RaiseException
}

// Code that takes its own faults keeps running: a system library probing memory under its own handler, and a
// handler the program registers after the frame's, last in line. Had the frame ended the program, the test
// process would end with error 12 instead.
TEST(Win32Faults, FaultsThatTheirCodeHandlesDoNotEndTheProgram) {
    installFaultHandlers();
    EXPECT_TRUE(IsBadReadPtr(reinterpret_cast<const void*>(16), 4));
    PVOID handler = AddVectoredExceptionHandler(0, skipRaisedAccessViolation);
    ASSERT_NE(handler, nullptr);
    RaiseException(EXCEPTION_ACCESS_VIOLATION, 0, 0, nullptr);
    RemoveVectoredExceptionHandler(handler);
}

}  // namespace
}  // namespace zopp
