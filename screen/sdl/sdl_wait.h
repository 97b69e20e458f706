// The refresh thread's wait on Linux: an event counter that drawing writes to, and the display
// connection's socket, on which X delivers input, so a click is handled as it arrives instead of at the
// next refresh. Other drivers are pumped every refresh period only.
#pragma once

#include <chrono>
#include <optional>

namespace zopp {

class SdlWait {
  public:
    SdlWait();
    ~SdlWait();
    SdlWait(const SdlWait&) = delete;
    SdlWait& operator=(const SdlWait&) = delete;

    // The display connection's socket to watch as well; -1 for none.
    void watchDisplay(int socket) { displaySocket_ = socket; }
    // Until input arrives, wake() is called (also before this call), or the timeout passes (none: no limit).
    void wait(std::optional<std::chrono::nanoseconds> timeout);
    // Any thread.
    void wake();

  private:
    const int wakeCounter_;
    int displaySocket_ = -1;
};

}  // namespace zopp
