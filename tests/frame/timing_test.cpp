#include "frame/timing.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>
#include <future>
#include <optional>
#include <thread>

#include "frame/events.h"
#include "frame/platform/clock.h"
#include "tests/support/console_pipe.h"

namespace zopp {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Sleeps are measured loosely: at least what was asked, and far below what a missed wake-up would cost.
template <typename F>
milliseconds timed(F&& work) {
    const Clock::time_point start = Clock::now();
    work();
    return std::chrono::duration_cast<milliseconds>(Clock::now() - start);
}

// The screen's key flag, as the refresh thread would set it.
std::atomic<bool> keyFlag{false};
std::atomic<int> keyChecks{0};
bool takeFakeKey() {
    ++keyChecks;
    return keyFlag.exchange(false);
}

class SleepMs : public ::testing::Test {
  protected:
    void SetUp() override {
        keyFlag = false;
        keyChecks = 0;
        setKeyPressedHook(takeFakeKey);
    }
    void TearDown() override { setKeyPressedHook(nullptr); }
};

TEST_F(SleepMs, ShortSleepLastsAtLeastItsTimeAndIgnoresKeys) {
    keyFlag = true;
    EXPECT_GE(timed([] { sleepMs(2); }), milliseconds(2));
    EXPECT_GE(timed([] { sleepMs(60); }), milliseconds(60));
    EXPECT_TRUE(keyFlag) << "a short sleep must not consume the key";
    EXPECT_EQ(keyChecks, 0);
}

TEST_F(SleepMs, ZeroAndNegativesOtherThanMinusOneReturnAtOnce) {
    keyFlag = true;
    EXPECT_LT(timed([] {
                  sleepMs(0);
                  sleepMs(-2);
                  sleepMs(INT32_MIN);
              }),
              milliseconds(20));
    EXPECT_TRUE(keyFlag);
}

TEST_F(SleepMs, LongSleepWithKeyAlreadyPressedReturnsAtOnceAndClearsIt) {
    keyFlag = true;
    EXPECT_LT(timed([] { sleepMs(200); }), milliseconds(50));
    EXPECT_FALSE(keyFlag);
}

TEST_F(SleepMs, LongSleepWithoutKeyLastsItsTimeCheckingEveryFiftyMs) {
    EXPECT_GE(timed([] { sleepMs(230); }), milliseconds(230));
    // 230 ms: checks before the steps at 230, 180, 130 and 80 left; the last 30 ms are plain.
    EXPECT_EQ(keyChecks, 4);
}

TEST_F(SleepMs, LongSleepWakesEarlyWhenAKeyArrives) {
    std::thread presser([] {
        std::this_thread::sleep_for(milliseconds(100));
        keyFlag = true;
    });
    const milliseconds took = timed([] { sleepMs(5000); });
    presser.join();
    EXPECT_GE(took, milliseconds(100));
    EXPECT_LT(took, milliseconds(2000));
    EXPECT_FALSE(keyFlag);
}

TEST_F(SleepMs, MinusOneWaitsForAKey) {
    std::thread presser([] {
        std::this_thread::sleep_for(milliseconds(150));
        keyFlag = true;
    });
    const milliseconds took = timed([] { sleepMs(-1); });
    presser.join();
    EXPECT_GE(took, milliseconds(150));
    EXPECT_LT(took, milliseconds(2000));
    EXPECT_FALSE(keyFlag);
}

// Runs `work` on a thread of its own and tells whether it finished within two seconds; one that
// overstays is left behind (detached), so a sleep that never ends fails the test instead of hanging it.
bool finishesWithinTwoSeconds(std::function<void()> work) {
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    std::thread([done, work = std::move(work)] {
        work();
        done->set_value();
    }).detach();
    return finished.wait_for(std::chrono::seconds(2)) == std::future_status::ready;
}

std::atomic<long long> tookMs{-1};
bool sleepEndsWithinTwoSeconds(std::int32_t ms) {
    tookMs = -1;
    return finishesWithinTwoSeconds([ms] { tookMs = timed([ms] { sleepMs(ms); }).count(); });
}

// A 2 ms sleep while another thread, 100 ms later, does `act`: it must end, and only after that.
std::atomic<bool> actDone{false};
void expectShortSleepEndsOnlyAfter(void (*act)()) {
    actDone = false;
    std::thread other([act] {
        std::this_thread::sleep_for(milliseconds(100));
        actDone = true;
        act();
    });
    const bool ended = finishesWithinTwoSeconds([] {
        sleepMs(2);
        EXPECT_TRUE(actDone) << "the sleep ended too early";
    });
    other.join();
    EXPECT_TRUE(ended) << "the sleep did not end";
}

// With a screen open (its event queue exists) a short sleep goes on until there is an event to take.
class IdleWait : public SleepMs {
  protected:
    void SetUp() override {
        SleepMs::SetUp();
        openEventQueue();
    }
    void TearDown() override {
        closeEventQueue();
        SleepMs::TearDown();
    }
};

TEST_F(IdleWait, WithoutAScreenAShortSleepEndsOnTime) {
    closeEventQueue();
    ASSERT_TRUE(sleepEndsWithinTwoSeconds(2)) << "a sleep without a screen waited for events";
    EXPECT_GE(tookMs, 2);
}

TEST_F(IdleWait, AShortSleepWithAnEmptyQueueLastsUntilTheNextEvent) {
    expectShortSleepEndsOnlyAfter([] { postEvent(ScreenEvent{ButtonUp, LeftButton, 0, 0, 0}); });
    ScreenEvent event{};
    EXPECT_EQ(pollEvent(&event), -1) << "the event that ended the sleep stays for the poll";
    EXPECT_EQ(event.type, ButtonUp);
}

TEST_F(IdleWait, ClosingTheScreenEndsTheWait) {
    expectShortSleepEndsOnlyAfter(closeEventQueue);
}

TEST_F(IdleWait, AnEventAlreadyWaitingLetsTheSleepEndOnTime) {
    postEvent(ScreenEvent{ButtonUp, LeftButton, 0, 0, 0});
    ASSERT_TRUE(sleepEndsWithinTwoSeconds(20));
    EXPECT_GE(tookMs, 20);
}

TEST_F(IdleWait, LongSleepsStillEndOnTimeWatchingTheKeyFlag) {
    ASSERT_TRUE(sleepEndsWithinTwoSeconds(230)) << "a long sleep waited for events";
    EXPECT_GE(tookMs, 230);
    EXPECT_EQ(keyChecks, 4);
    keyFlag = true;
    EXPECT_LT(timed([] { sleepMs(300); }), milliseconds(50));
}

// Without a screen the console's standard input is the keyboard.
class ConsoleKeys : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(testing::openConsolePipe(pipeEnds_));
        savedStdin_ = dup(STDIN_FILENO);
        ASSERT_GE(savedStdin_, 0);
        ASSERT_EQ(dup2(pipeEnds_[0], STDIN_FILENO), STDIN_FILENO);
    }
    void TearDown() override {
        dup2(savedStdin_, STDIN_FILENO);
        close(savedStdin_);
        close(pipeEnds_[0]);
        if (pipeEnds_[1] >= 0) close(pipeEnds_[1]);
    }
    void type(const char* text) { ASSERT_GT(write(pipeEnds_[1], text, strlen(text)), 0); }
    void closeInput() {
        close(pipeEnds_[1]);
        pipeEnds_[1] = -1;
    }

  private:
    int pipeEnds_[2]{-1, -1};
    int savedStdin_{-1};
};

TEST_F(ConsoleKeys, WaitingInputWakesALongSleepAndIsConsumed) {
    type("x\n");
    EXPECT_LT(timed([] { sleepMs(300); }), milliseconds(50));
    EXPECT_GE(timed([] { sleepMs(120); }), milliseconds(120)) << "the key was seen twice";
}

TEST_F(ConsoleKeys, MinusOneWaitsForConsoleInput) {
    std::thread typist([this] {
        std::this_thread::sleep_for(milliseconds(120));
        type("y");
    });
    const milliseconds took = timed([] { sleepMs(-1); });
    typist.join();
    EXPECT_GE(took, milliseconds(120));
    EXPECT_LT(took, milliseconds(2000));
}

TEST_F(ConsoleKeys, EndOfInputIsNoKey) {
    closeInput();
    EXPECT_GE(timed([] { sleepMs(150); }), milliseconds(150));
}

TEST(Timer, AdvancesWithTimeAndNeverGoesBack) {
    const double before = timerSeconds();
    std::this_thread::sleep_for(milliseconds(120));
    const double after = timerSeconds();
    EXPECT_GE(after - before, 0.119);
    EXPECT_LT(after - before, 2.0);
    double previous = timerSeconds();
    for (int i = 0; i < 10000; ++i) {
        const double now = timerSeconds();
        ASSERT_GE(now, previous);
        previous = now;
    }
}

TEST(Timer, BothClocksCountSecondsAtTheRightRate) {
    const std::optional<double> tick = platform::counterTickSeconds();
    ASSERT_TRUE(tick.has_value()) << "this platform has a high-resolution counter";
    EXPECT_GT(*tick, 0.0);
    EXPECT_LE(*tick, 1e-6);
    const double counterBefore = platform::counterSeconds(*tick);
    const double ticksBefore = platform::tickCountSeconds();
    std::this_thread::sleep_for(milliseconds(150));
    const double counterElapsed = platform::counterSeconds(*tick) - counterBefore;
    const double ticksElapsed = platform::tickCountSeconds() - ticksBefore;
    EXPECT_GE(counterElapsed, 0.149);
    EXPECT_LT(counterElapsed, 2.0);
    EXPECT_GE(ticksElapsed, 0.148);  // whole milliseconds at either end
    EXPECT_LT(ticksElapsed, 2.0);
    const double ticks = platform::tickCountSeconds();
    EXPECT_NEAR(ticks * 1000, std::round(ticks * 1000), 1e-3) << "the tick count is in whole milliseconds";
}

}  // namespace
}  // namespace zopp
