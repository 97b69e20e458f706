// Seam: sleeping until a word changes, for the program's idle wait (the event queue's change count). Which
// word and when to wait are the shared rules' business; this only blocks and wakes. POSIX and Win32 block
// the thread (C++20 atomic wait, a futex or WaitOnAddress underneath). A one-thread host (the browser)
// must yield to its own callbacks instead, since they are what changes the word: it hands the thread to
// the browser until input wakes it.
#pragma once

#include <atomic>
#include <cstdint>

namespace zopp::platform {

// Returns once `word` no longer holds `seen` and wakeChangeWaiters has been called for it, at once if it
// already differs, or after timeoutMs milliseconds (negative: no limit). May also return spuriously:
// callers check their condition, and their time, again.
void waitForChange(const std::atomic<std::uint32_t>& word, std::uint32_t seen, std::int32_t timeoutMs = -1);

// Wakes every thread in waitForChange on `word`; called after each change of it. Cheap when none waits.
void wakeChangeWaiters(std::atomic<std::uint32_t>& word);

}  // namespace zopp::platform
