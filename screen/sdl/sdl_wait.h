// The refresh thread's wait on Linux: an event counter that drawing writes to, and the X display
// connection, on which X delivers input, so a click is handled as it arrives instead of at the next
// refresh. Other drivers give nothing to wait on: their waits count as input, so the loop pumps them
// every refresh period.
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

    // The X display connection (an Xlib Display, kept out of this header) to watch as well; null for none.
    void watchDisplay(void* display) { display_ = display; }
    // Until input arrives, wake() is called (also before this call), or the timeout passes (none: no
    // limit). True when input may be pending: the connection has data or Xlib's queue already holds
    // events, or there is no connection to tell.
    bool wait(std::optional<std::chrono::nanoseconds> timeout);
    // Any thread.
    void wake();

  private:
    const int wakeCounter_;
    void* display_ = nullptr;
};

}  // namespace zopp
