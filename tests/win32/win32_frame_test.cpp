// The frame's Windows mechanisms: sleeps at millisecond resolution, the two clocks, and standard input
// as the keyboard while no screen is open.
#include <fcntl.h>
#include <io.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "frame/platform/clock.h"
#include "frame/platform/console_keys.h"
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

// Standard input redirected to a pipe, as a terminal would deliver keys.
class Win32ConsoleKeys : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(_pipe(pipeEnds_, 256, _O_BINARY), 0);
        savedStdin_ = _dup(_fileno(stdin));
        ASSERT_EQ(_dup2(pipeEnds_[0], _fileno(stdin)), 0);
    }
    void TearDown() override {
        _dup2(savedStdin_, _fileno(stdin));
        _close(savedStdin_);
        _close(pipeEnds_[0]);
        if (pipeEnds_[1] >= 0) _close(pipeEnds_[1]);
    }
    void type(const char* text) { ASSERT_GT(_write(pipeEnds_[1], text, static_cast<unsigned>(strlen(text))), 0); }
    void closeInput() {
        _close(pipeEnds_[1]);
        pipeEnds_[1] = -1;
    }

  private:
    int pipeEnds_[2]{-1, -1};
    int savedStdin_ = -1;
};

TEST_F(Win32ConsoleKeys, WaitingInputIsOneKeyAndIsConsumed) {
    EXPECT_FALSE(platform::consoleKeyPressed());
    type("x\n");
    EXPECT_TRUE(platform::consoleKeyPressed());
    EXPECT_FALSE(platform::consoleKeyPressed()) << "the key was seen twice";
}

TEST_F(Win32ConsoleKeys, TheEndOfInputIsNoKey) {
    closeInput();
    EXPECT_FALSE(platform::consoleKeyPressed());
}

}  // namespace
}  // namespace zopp
