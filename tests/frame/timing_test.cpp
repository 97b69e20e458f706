#include "frame/timing.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstring>
#include <functional>
#include <optional>
#include <thread>

#include "frame/events.h"
#include "frame/platform/clock.h"
#include "harness/support/console_pipe.h"
#include "harness/support/finishes_within.h"

namespace zopp {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Sleeps are measured loosely: at least what was asked; a sleep that should end early is asked for long
// enough that ending before half its time cannot be a busy machine's delay.
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
    EXPECT_GE(timed([] { sleepMs(99); }), milliseconds(99));
    EXPECT_TRUE(keyFlag) << "a short sleep must not consume the key";
    EXPECT_EQ(keyChecks, 0);
}

TEST_F(SleepMs, ZeroAndNegativesOtherThanMinusOneReturnAtOnce) {
    const milliseconds reference = timed([] { sleepMs(400); });
    keyFlag = true;
    const milliseconds took = timed([] {
        sleepMs(0);
        sleepMs(-2);
        sleepMs(INT32_MIN);
    });
    EXPECT_LT(took, reference / 2) << "against a sleep of 400 ms in the same run";
    EXPECT_TRUE(keyFlag);
}

TEST_F(SleepMs, LongSleepWithKeyAlreadyPressedReturnsAtOnceAndClearsIt) {
    keyFlag = true;
    EXPECT_LT(timed([] { sleepMs(2000); }), milliseconds(1000));
    EXPECT_FALSE(keyFlag);
}

TEST_F(SleepMs, LongSleepWithoutKeyLastsItsTimeCheckingEveryFiftyMs) {
    // A check before each 50 ms step while more than 50 ms are left, the rest plain: 230 ms checks at 230,
    // 180, 130 and 80 left.
    for (const auto& [ms, checks] : {std::pair{100, 1}, {101, 2}, {230, 4}}) {
        keyChecks = 0;
        EXPECT_GE(timed([ms = ms] { sleepMs(ms); }), milliseconds(ms));
        EXPECT_EQ(keyChecks, checks) << ms;
    }
}

TEST_F(SleepMs, EveryPieceOfASleepAndTheBeepFirstRunTheBeforeSleepHook) {
    int calls = 0;
    setBeforeSleepHook([](void* count) { ++*static_cast<int*>(count); }, &calls);
    sleepMs(2);
    EXPECT_EQ(calls, 1);
    sleepMs(0);  // no sleep, nothing to present for
    EXPECT_EQ(calls, 1);
    sleepMs(130);  // steps of 50, 50 and 30 ms: the page shows each step's drawing
    EXPECT_EQ(calls, 4);
    beep();
    EXPECT_EQ(calls, 5);
    setBeforeSleepHook(nullptr, nullptr);
    sleepMs(2);
    EXPECT_EQ(calls, 5);
}

// A sleep for a key (-1) and a long one end at a press, and only after it, taking the key. Judged by the
// press itself rather than by a time: on a busy machine the presser's wait may start well before the sleep.
TEST_F(SleepMs, AKeySleepAndALongSleepEndAtThePress) {
    for (const std::int32_t ms : {-1, 5000}) {
        std::atomic<bool> pressed{false};
        std::thread presser([&pressed] {
            std::this_thread::sleep_for(milliseconds(100));
            pressed = true;
            keyFlag = true;
        });
        const milliseconds took = timed([ms] { sleepMs(ms); });
        const bool endedAfterThePress = pressed;
        presser.join();
        EXPECT_TRUE(endedAfterThePress) << ms;
        EXPECT_LT(took, milliseconds(2000)) << ms;
        EXPECT_FALSE(keyFlag) << ms;
    }
}

bool finishesWithinTwoSeconds(std::function<void()> work) {
    return testing::finishesWithin(std::chrono::seconds(2), std::move(work));
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

// A screen is open (its event queue exists) and the program's last poll found nothing.
class ScreenOpen : public SleepMs {
  protected:
    void SetUp() override {
        SleepMs::SetUp();
        openEventQueue();
        takePollMark();  // what an earlier test's last poll left
    }
    void TearDown() override {
        reactOnlyToWindowEvents(false);
        closeEventQueue();
        SleepMs::TearDown();
    }
    static void pollNothing() {
        ScreenEvent event{};
        ASSERT_EQ(pollEvent(&event), 0);
    }
};

TEST_F(ScreenOpen, WithoutTheDeclarationEveryShortSleepEndsOnTime) {
    // A program that also serves other input polls the window between its other work: its sleeps must
    // come back however quiet the window is.
    // Each sleep is compared with a plain 2 ms sleep of the system taken right after it: a sleep that
    // waited for something would be longer most of the time, a busy machine delays both alike.
    // Written by a thread that may outlive this test if a sleep never ends.
    static std::atomic<long long> shortestUs;
    static std::atomic<long long> longerThanPlain;
    shortestUs = -1;
    longerThanPlain = -1;
    const bool ended = testing::finishesWithin(std::chrono::seconds(10), [] {
        const auto microseconds = [](auto&& work) {
            const Clock::time_point start = Clock::now();
            work();
            return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
        };
        long long least = LLONG_MAX;
        int longer = 0;
        for (int i = 0; i < 100; ++i) {
            pollNothing();
            const long long took = microseconds([] { sleepMs(2); });
            least = std::min(least, took);
            longer += took > 2 * microseconds([] { std::this_thread::sleep_for(milliseconds(2)); });
        }
        shortestUs = least;
        longerThanPlain = longer;
    });
    ASSERT_TRUE(ended) << "a 2 ms sleep waited for an event";
    EXPECT_GE(shortestUs, 2000);
    EXPECT_LT(longerThanPlain, 50) << "of 100 sleeps of 2 ms, this many took twice a plain one: they waited";
    pollNothing();
    ASSERT_TRUE(sleepEndsWithinTwoSeconds(1)) << "a 1 ms sleep waited for an event";
}

TEST_F(ScreenOpen, ShortSleepsWithTheKeyFlagSetNeitherWaitNorClearIt) {
    keyFlag = true;
    for (const std::int32_t ms : {2, 60, 99}) {
        pollNothing();
        ASSERT_TRUE(sleepEndsWithinTwoSeconds(ms)) << ms << " ms waited for an event";
        EXPECT_GE(tookMs, ms);
    }
    EXPECT_TRUE(keyFlag);
    EXPECT_EQ(keyChecks, 0);
}

TEST_F(ScreenOpen, AKeyPressedDuringAShortSleepDoesNotHoldItUp) {
    std::thread presser([] {
        std::this_thread::sleep_for(milliseconds(10));
        keyFlag = true;  // a key sets the flag; it posts nothing this test's queue would see
    });
    pollNothing();
    const bool ended = sleepEndsWithinTwoSeconds(60);
    presser.join();
    ASSERT_TRUE(ended);
    EXPECT_GE(tookMs, 60);
    EXPECT_TRUE(keyFlag);
}

// The program declared that only window events give it work: an idle sleep lasts until one comes.
class IdleWait : public ScreenOpen {
  protected:
    void SetUp() override {
        ScreenOpen::SetUp();
        reactOnlyToWindowEvents();
    }
};

TEST_F(IdleWait, WithoutAScreenAShortSleepEndsOnTime) {
    closeEventQueue();
    pollNothing();
    ASSERT_TRUE(sleepEndsWithinTwoSeconds(2)) << "a sleep without a screen waited for events";
    EXPECT_GE(tookMs, 2);
}

TEST_F(IdleWait, AShortSleepAfterAnEmptyPollLastsUntilTheNextEvent) {
    pollNothing();
    expectShortSleepEndsOnlyAfter([] { postEvent(ScreenEvent{ButtonUp, LeftButton, 0, 0, 0}); });
    ScreenEvent event{};
    EXPECT_EQ(pollEvent(&event), -1) << "the event that ended the sleep stays for the poll";
    EXPECT_EQ(event.type, ButtonUp);
}

TEST_F(IdleWait, ClosingTheScreenEndsTheWait) {
    pollNothing();
    expectShortSleepEndsOnlyAfter(closeEventQueue);
}

TEST_F(IdleWait, OnlyASleepRightAfterAnEmptyPollWaits) {
    ASSERT_TRUE(sleepEndsWithinTwoSeconds(2)) << "a sleep that followed no poll waited";
    pollNothing();
    sleepMs(200);  // a long sleep takes the mark without waiting for an event
    ASSERT_TRUE(sleepEndsWithinTwoSeconds(2)) << "a second sleep after one empty poll waited";
    postEvent(ScreenEvent{ButtonUp, LeftButton, 0, 0, 0});
    ScreenEvent event{};
    ASSERT_EQ(pollEvent(&event), -1);
    ASSERT_TRUE(sleepEndsWithinTwoSeconds(2)) << "the queue is empty now, but the poll found an event";
}

TEST_F(IdleWait, AfterAnEventOnlyAnEventThePollDidNotShowEndsTheSleepEarly) {
    postEvent(ScreenEvent{ButtonDown, LeftButton, 0, 0, 0});
    postEvent(ScreenEvent{ButtonUp, LeftButton, 0, 0, 0});
    ScreenEvent event{};
    ASSERT_EQ(pollEvent(&event), -1);
    ASSERT_TRUE(sleepEndsWithinTwoSeconds(99));
    EXPECT_LT(tookMs, 99) << "the event waiting behind the one taken did not end the sleep";
    ASSERT_EQ(pollEvent(nullptr), -1);
    ASSERT_TRUE(sleepEndsWithinTwoSeconds(20));
    EXPECT_GE(tookMs, 20) << "an event the poll only peeked at ended the sleep";
    ASSERT_EQ(pollEvent(&event), -1);
    // The poster waits until the sleep has begun, as an event posted before it would not end it. A sleep
    // never ends before its time, so one that ends early proves the post ended it; a trial in which the
    // poster got no processor before the sleep was over proves nothing and is played again.
    bool endedEarly = false;
    for (int trial = 0; trial < 10 && !endedEarly; ++trial) {
        std::atomic<bool> sleeping{false}, posted{false};
        std::thread poster([&] {
            while (!sleeping)
                std::this_thread::yield();
            std::this_thread::sleep_for(milliseconds(30));
            posted = true;
            postEvent(ScreenEvent{ButtonUp, LeftButton, 0, 0, 0});
        });
        const long long took = timed([&] {
                                   sleeping = true;
                                   sleepMs(99);
                               }).count();
        endedEarly = posted && took < 99;
        poster.join();
        ASSERT_EQ(pollEvent(&event), -1);  // the posted event: the next sleep follows a poll that took one
    }
    EXPECT_TRUE(endedEarly) << "in ten sleeps an event posted during the sleep never ended it";
}

TEST_F(IdleWait, LongSleepsStillEndOnTimeWatchingTheKeyFlag) {
    pollNothing();
    ASSERT_TRUE(sleepEndsWithinTwoSeconds(230)) << "a long sleep waited for events";
    EXPECT_GE(tookMs, 230);
    EXPECT_EQ(keyChecks, 4);
    keyFlag = true;
    pollNothing();
    EXPECT_LT(timed([] { sleepMs(2000); }), milliseconds(1000));
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
    EXPECT_LT(timed([] { sleepMs(2000); }), milliseconds(1000));
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
    const double counterFirst = platform::counterSeconds(*tick);
    const double timer = timerSeconds();
    EXPECT_LE(counterFirst, timer) << "the timer reads the counter, not the coarser tick count";
    EXPECT_LE(timer, platform::counterSeconds(*tick));
}

}  // namespace
}  // namespace zopp
