#include "frame/platform/sleep.h"

#include <sys/prctl.h>

#include <chrono>
#include <thread>

namespace zopp::platform {

namespace {

// How late a sleep may end, so the kernel can fold its wake-up into others. The program sleeps 2 ms
// between polls of an empty queue hundreds of times a second; that is what it costs while waiting.
constexpr unsigned long kSleepSlackNs = 1'000'000;

}  // namespace

// sleep_for measures on the steady clock and resumes after signals, so it never sleeps less than asked.
void sleepAtLeastMs(std::int32_t ms) {
    thread_local const bool kSlackSet = prctl(PR_SET_TIMERSLACK, kSleepSlackNs) == 0;
    static_cast<void>(kSlackSet);
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace zopp::platform
