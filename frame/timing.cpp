#include "frame/timing.h"

#include <sys/prctl.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

#include "frame/clock.h"
#include "frame/console_keys.h"

namespace zopp {

namespace {

constexpr std::int32_t KEY_CHECK_STEP_MS = 50;
// Sleeps this long or longer watch the key flag; shorter ones are a single plain sleep.
constexpr std::int32_t INTERRUPTIBLE_FROM_MS = 100;
constexpr std::int32_t WAIT_FOR_KEY = -1;

std::atomic<KeyPressedHook> keyPressedHook{nullptr};

bool takeKeyPressed() {
    const KeyPressedHook hook = keyPressedHook.load();
    return hook != nullptr ? hook() : consoleKeyPressed();
}

// How late a sleep may end, so the kernel can fold its wake-up into others. The program sleeps 2 ms
// between polls of an empty queue hundreds of times a second; that is what it costs while waiting.
constexpr unsigned long SLEEP_SLACK_NS = 1'000'000;

// sleep_for measures on the steady clock and resumes after signals, so it never sleeps less than asked.
void plainSleep(std::int32_t ms) {
    thread_local const bool slackSet = prctl(PR_SET_TIMERSLACK, SLEEP_SLACK_NS) == 0;
    static_cast<void>(slackSet);
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

enum class TimerMode { Counter, TickCount };

struct TimerState {
    TimerMode mode;
    double tickSeconds;
};

TimerState decideTimerMode() {
    if (const std::optional<double> tick = counterTickSeconds()) return {TimerMode::Counter, *tick};
    return {TimerMode::TickCount, 0.0};
}

}  // namespace

void setKeyPressedHook(KeyPressedHook hook) {
    keyPressedHook.store(hook);
}

void sleepMs(std::int32_t ms) {
    if (ms == WAIT_FOR_KEY) {
        while (!takeKeyPressed())
            plainSleep(KEY_CHECK_STEP_MS);
        return;
    }
    if (ms >= INTERRUPTIBLE_FROM_MS) {
        while (ms > KEY_CHECK_STEP_MS) {
            if (takeKeyPressed()) return;
            plainSleep(KEY_CHECK_STEP_MS);
            ms -= KEY_CHECK_STEP_MS;
        }
    }
    if (ms > 0) plainSleep(ms);
}

double timerSeconds() {
    static const TimerState timer = decideTimerMode();
    return timer.mode == TimerMode::Counter ? counterSeconds(timer.tickSeconds) : tickCountSeconds();
}

}  // namespace zopp
