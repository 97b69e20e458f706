// The beep's rules, whatever the platform's sound output does.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "frame/timing.h"

namespace zopp {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

milliseconds timedBeep() {
    const Clock::time_point start = Clock::now();
    beep();
    return std::chrono::duration_cast<milliseconds>(Clock::now() - start);
}

// A sound output that records what it was asked for and takes as long as a test says.
std::atomic<int> outputCalls{0};
std::atomic<std::int32_t> askedHz{0}, askedMs{0};
std::atomic<int> outputTakesMs{0};
void recordingOutput(std::int32_t hz, std::int32_t ms) {
    ++outputCalls;
    askedHz = hz;
    askedMs = ms;
    std::this_thread::sleep_for(milliseconds(outputTakesMs.load()));
}

class Beep : public ::testing::Test {
  protected:
    void SetUp() override {
        outputCalls = 0;
        askedHz = askedMs = 0;
        outputTakesMs = 250;
        setBeepSoundHook(recordingOutput);
    }
    void TearDown() override { setBeepSoundHook(nullptr); }
};

TEST_F(Beep, AsksTheOutputForAThousandHertzForAQuarterSecondEachTime) {
    beep();
    beep();
    EXPECT_EQ(outputCalls, 2);
    EXPECT_EQ(askedHz, 1000);
    EXPECT_EQ(askedMs, 250);
}

TEST_F(Beep, WithoutAnOutputStaysSilentButStillTakesAQuarterSecond) {
    setBeepSoundHook(nullptr);
    const milliseconds took = timedBeep();
    EXPECT_EQ(outputCalls, 0);
    EXPECT_GE(took, milliseconds(250));
    EXPECT_LT(took, milliseconds(2000));
}

TEST_F(Beep, AnOutputWithoutADeviceReturnsAtOnceAndTheBeepStillTakesAQuarterSecond) {
    outputTakesMs = 0;
    EXPECT_GE(timedBeep(), milliseconds(250));
}

TEST_F(Beep, ReturnsWhenALongerOutputHasFinishedWithoutWaitingAgain) {
    outputTakesMs = 400;  // a device with latency: the tone is heard later than it was queued
    const milliseconds took = timedBeep();
    EXPECT_GE(took, milliseconds(400));
    EXPECT_LT(took, milliseconds(400 + 250))
        << "the quarter second runs from the start, not after the output";
}

}  // namespace
}  // namespace zopp
