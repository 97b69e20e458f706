#include "frame/platform/change_wait.h"

#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <climits>
#include <ctime>

namespace zopp::platform {

namespace {

// Threads inside waitForChange: a wake while none waits makes no system call.
std::atomic<int> waiters{0};

long futex(const std::atomic<std::uint32_t>& word, int operation, int value, const timespec* timeout) {
    static_assert(sizeof word == sizeof(std::uint32_t));
    return syscall(SYS_futex, &word, operation, value, timeout, nullptr, 0);
}

}  // namespace

// The kernel's own address wait, which the standard library's has no time limit for. It compares the word
// with `seen` itself, so a change made after the caller's look ends the wait at once.
void waitForChange(const std::atomic<std::uint32_t>& word, std::uint32_t seen, std::int32_t timeoutMs) {
    waiters.fetch_add(1);
    if (word.load(std::memory_order_acquire) == seen) {
        const timespec limit{timeoutMs / 1000, static_cast<long>(timeoutMs % 1000) * 1'000'000};
        futex(word, FUTEX_WAIT_PRIVATE, static_cast<int>(seen), timeoutMs < 0 ? nullptr : &limit);
    }
    waiters.fetch_sub(1);
}

void wakeChangeWaiters(std::atomic<std::uint32_t>& word) {
    // The word's change comes before the look at the waiters, as a waiter's count comes before its look
    // at the word: one of the two sees the other.
    std::atomic_thread_fence(std::memory_order_seq_cst);
    if (waiters.load() > 0) futex(word, FUTEX_WAKE_PRIVATE, INT_MAX, nullptr);
}

}  // namespace zopp::platform
