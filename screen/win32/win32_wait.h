// Waiting for window messages or a wake, on the refresh thread.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>

namespace zopp {

class Win32Wait {
  public:
    Win32Wait() : wakeEvent_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
    ~Win32Wait() {
        if (wakeEvent_ != nullptr) CloseHandle(wakeEvent_);
    }
    Win32Wait(const Win32Wait&) = delete;
    Win32Wait& operator=(const Win32Wait&) = delete;

    // Until a message for the calling thread is waiting, wake() was called (also before this call), or
    // the timeout (none: no limit) passed. True when it ended for a message other than a timer: input
    // may be pending.
    bool wait(std::optional<std::chrono::nanoseconds> timeout);
    // Whether the last wait ended for a message, timers included (or no wait has happened yet). Reading
    // the queue costs a round trip to the system on some platforms, so a cycle started by a wake or the
    // timeout skips it; a message that comes meanwhile ends the next wait at once.
    bool messagesWaiting() const { return messagesWaiting_; }
    void messagesTaken() { messagesWaiting_ = false; }
    // Any thread; cheap: one event set.
    void wake();

  private:
    const HANDLE wakeEvent_;  // auto-reset: one wait ends per wake
    bool messagesWaiting_ = true;
};

}  // namespace zopp
