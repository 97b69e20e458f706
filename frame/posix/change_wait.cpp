#include "frame/platform/change_wait.h"

namespace zopp::platform {

// The standard library waits on a futex for a 32-bit word and skips the wake system call while no
// thread waits.
void waitForChange(const std::atomic<std::uint32_t>& word, std::uint32_t seen) {
    word.wait(seen, std::memory_order_acquire);
}

void wakeChangeWaiters(std::atomic<std::uint32_t>& word) {
    word.notify_all();
}

}  // namespace zopp::platform
