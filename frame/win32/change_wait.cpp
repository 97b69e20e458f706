#include "frame/platform/change_wait.h"

#include <windows.h>

namespace zopp::platform {

// The system's own address wait: the thread sleeps in the kernel until the word is woken, and a wake with
// no waiter costs next to nothing.
void waitForChange(const std::atomic<std::uint32_t>& word, std::uint32_t seen, std::int32_t timeoutMs) {
    static_assert(sizeof(std::atomic<std::uint32_t>) == sizeof(std::uint32_t));
    auto* address = const_cast<std::atomic<std::uint32_t>*>(&word);
    WaitOnAddress(address, &seen, sizeof seen, timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs));
}

void wakeChangeWaiters(std::atomic<std::uint32_t>& word) {
    WakeByAddressAll(&word);
}

}  // namespace zopp::platform
