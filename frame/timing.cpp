#include "frame/timing.h"

#include <atomic>
#include <mutex>
#include <optional>

#include "frame/events.h"
#include "frame/platform/clock.h"
#include "frame/platform/console_keys.h"
#include "frame/platform/sleep.h"
#include "frame/runtime_internal.h"

namespace zopp {

namespace {

constexpr std::int32_t kKeyCheckStepMs = 50;
// Sleeps this long or longer watch the key flag; shorter ones are a single plain sleep.
constexpr std::int32_t kInterruptibleFromMs = 100;
constexpr std::int32_t kWaitForKey = -1;

std::atomic<KeyPressedHook> keyPressedHook{nullptr};
std::atomic<bool> windowEventsOnly{false};
// Registered on the program's thread; a sleep on any other thread reads it too.
std::mutex beforeSleepMutex;
BeforeSleepHook beforeSleepHook = nullptr;
void* beforeSleepContext = nullptr;

bool takeKeyPressed() {
    const KeyPressedHook hook = keyPressedHook.load();
    return hook != nullptr ? hook() : platform::consoleKeyPressed();
}

enum class TimerMode { Counter, TickCount };

struct TimerState {
    TimerMode mode;
    double tickSeconds;
};

TimerState decideTimerMode() {
    if (const std::optional<double> tick = platform::counterTickSeconds()) return {TimerMode::Counter, *tick};
    return {TimerMode::TickCount, 0.0};
}

}  // namespace

void setKeyPressedHook(KeyPressedHook hook) {
    keyPressedHook.store(hook);
}

void setBeforeSleepHook(BeforeSleepHook hook, void* context) {
    std::lock_guard hold(beforeSleepMutex);
    beforeSleepHook = hook;
    beforeSleepContext = context;
}

namespace {

void runBeforeSleepHook() {
    BeforeSleepHook hook;
    void* context;
    {
        std::lock_guard hold(beforeSleepMutex);
        hook = beforeSleepHook;
        context = beforeSleepContext;
    }
    if (hook) hook(context);
}

// The short sleep of a program that said only window events give it work, while a screen is open: an
// event posted during it is work, so it ends the sleep; so is one still waiting behind the event the poll
// before it took (a click's release that came while its press was handled). After a poll that found
// nothing the sleep lasts until an event comes, as polling an empty queue again would only wake the
// program for nothing. False without a screen: then it is a plain sleep.
bool sleepUntilEvent(PollMark poll, std::int32_t ms) {
    runBeforeSleepHook();
    if (poll == PollMark::FoundNothing) return waitWhileQueueEmpty();
    return waitForPostWithin(ms, poll == PollMark::TookEvent);
}

}  // namespace

void detail::sleepForProgram(std::int32_t ms) {
    runBeforeSleepHook();
    platform::sleepAtLeastMs(ms);
}

void reactOnlyToWindowEvents(bool only) {
    windowEventsOnly.store(only);
}

void sleepMs(std::int32_t ms) {
    const PollMark poll = takePollMark();
    if (ms == kWaitForKey) {
        while (!takeKeyPressed())
            detail::sleepForProgram(kKeyCheckStepMs);
        return;
    }
    if (ms >= kInterruptibleFromMs) {
        while (ms > kKeyCheckStepMs) {
            if (takeKeyPressed()) return;
            detail::sleepForProgram(kKeyCheckStepMs);
            ms -= kKeyCheckStepMs;
        }
        if (ms > 0) detail::sleepForProgram(ms);
        return;
    }
    if (ms <= 0) return;
    if (windowEventsOnly.load() && sleepUntilEvent(poll, ms)) return;
    detail::sleepForProgram(ms);
}

double timerSeconds() {
    static const TimerState kTimer = decideTimerMode();
    return kTimer.mode == TimerMode::Counter ? platform::counterSeconds(kTimer.tickSeconds)
                                             : platform::tickCountSeconds();
}

}  // namespace zopp
