// The words waited on change in the page's input callbacks, which run only while the program sleeps:
// the wait hands the thread to the browser until input comes (the callbacks' Module.zoppWakeProgram()
// ends such a sleep), and its caller looks again.
#include "frame/platform/change_wait.h"

#include <algorithm>

// page_frame.js
extern "C" void zoppSleepInPage(int ms, int idleMs);

namespace zopp::platform {

namespace {

// Without input the program looks again after this long anyway; nothing else changes the word.
constexpr int kLookAgainMs = 1000;

}  // namespace

// The page's sleep lasts at least 1 ms, then until input or the rest of the time.
void waitForChange(const std::atomic<std::uint32_t>& word, std::uint32_t seen, std::int32_t timeoutMs) {
    if (word.load(std::memory_order_acquire) != seen) return;
    zoppSleepInPage(1, timeoutMs < 0 ? kLookAgainMs : std::max(timeoutMs - 1, 1));
}

// The waiter resumes through the page's wake-up, which every input callback gives.
void wakeChangeWaiters(std::atomic<std::uint32_t>&) {}

}  // namespace zopp::platform
