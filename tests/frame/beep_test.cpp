// The beep's rules, whatever the platform's sound output does.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
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
Tone askedTone{};  // written only while a beep runs on the test's own thread
std::atomic<int> outputTakesMs{0};
void recordingOutput(const Tone& tone) {
    ++outputCalls;
    askedTone = tone;
    std::this_thread::sleep_for(milliseconds(outputTakesMs.load()));
}

class Beep : public ::testing::Test {
  protected:
    void SetUp() override {
        outputCalls = 0;
        askedTone = {};
        outputTakesMs = 250;
        setBeepSoundHook(recordingOutput);
    }
    void TearDown() override { setBeepSoundHook(nullptr); }
};

TEST_F(Beep, AsksTheOutputForAThousandHertzForAQuarterSecondEachTime) {
    beep();
    beep();
    EXPECT_EQ(outputCalls, 2);
    EXPECT_EQ(askedTone.hz, 1000);
    EXPECT_EQ(askedTone.ms, 250);
    EXPECT_EQ(askedTone.amplitude, 0.3);
    EXPECT_EQ(askedTone.edgeMs, 5);
}

// The beep's samples at the rates devices take: the whole length, silent ends, the tone's loudness, and
// edges that swell and fade cycle by cycle.
TEST_F(Beep, SamplesAtAnyRateKeepTheLengthLoudnessAndSoftEdges) {
    outputTakesMs = 0;
    beep();
    const Tone tone = askedTone;
    for (const std::int32_t rate : {8000, 44100, 48000}) {
        const std::vector<std::int16_t> samples = toneSamples(tone, rate);
        ASSERT_EQ(samples.size(), static_cast<std::size_t>(rate) * tone.ms / 1000) << rate;
        EXPECT_EQ(samples.front(), 0) << rate;
        EXPECT_EQ(samples.back(), 0) << rate;
        const auto loudness = [&](std::size_t from, std::size_t to) {
            int loudest = 0;
            for (std::size_t i = from; i < to; ++i)
                loudest = std::max(loudest, std::abs(int{samples[i]}));
            return loudest;
        };
        EXPECT_NEAR(loudness(0, samples.size()), tone.amplitude * 32767, 0.01 * 32767) << rate;
        // One cycle at a time over each edge: louder going in, quieter going out.
        const auto cycle = static_cast<std::size_t>(rate / tone.hz), end = samples.size();
        const std::size_t edge = static_cast<std::size_t>(rate) * tone.edgeMs / 1000;
        for (std::size_t at = 0; at + cycle < edge; at += cycle) {
            EXPECT_LT(loudness(at, at + cycle), loudness(at + cycle, at + 2 * cycle)) << rate << " at " << at;
            EXPECT_LT(loudness(end - at - cycle, end - at), loudness(end - at - 2 * cycle, end - at - cycle))
                << rate << " at " << at;
        }
    }
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
