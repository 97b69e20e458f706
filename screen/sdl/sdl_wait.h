// The refresh thread's wait on Linux: an event counter that drawing writes to, and the X display
// connection, on which X delivers input, so a click is handled as it arrives instead of at the next
// refresh. Without X, SDL's own event wait sleeps on the video driver's connection where the driver has
// one (Wayland), and an event of our own ends it. Other drivers give nothing to wait on: their waits count
// as input, so the loop pumps them every refresh period.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>

namespace zopp {

// The last of SDL's event types (SDL_USEREVENT - 1): those are the window's input, the wait's own come
// after them.
inline constexpr std::uint32_t kLastSdlInputEvent = 0x7FFF;

class SdlWait {
  public:
    SdlWait();
    ~SdlWait();
    SdlWait(const SdlWait&) = delete;
    SdlWait& operator=(const SdlWait&) = delete;

    // The X display connection (an Xlib Display, kept out of this header) to watch as well; null for none.
    void watchDisplay(void* display) { display_ = display; }
    // On the thread that created the window, with no X connection to watch: waits in SDL's event wait from
    // now on, where the current video driver sleeps on its connection; false where it would not.
    bool waitInSdl();
    // Before SDL's video stops: after it returns no wake() pushes into SDL's queue any more.
    void stopWaitingInSdl();
    // Until input arrives, wake() is called (also before this call), or the timeout passes (none: no
    // limit). True when input may be pending: the connection has data or Xlib's queue already holds
    // events, SDL's queue holds input, or there is nothing to tell.
    bool wait(std::optional<std::chrono::nanoseconds> timeout);
    // Any thread.
    void wake();

  private:
    bool waitForSdlEvents(std::optional<std::chrono::nanoseconds> timeout);

    const int wakeCounter_;
    void* display_ = nullptr;
    // The registered event wake() pushes; 0 while SDL's wait is unused.
    std::atomic<std::uint32_t> sdlWake_ = 0;
    std::mutex sdlWakeMutex_;  // held by wake() while it pushes
};

}  // namespace zopp
