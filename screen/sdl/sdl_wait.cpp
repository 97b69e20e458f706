#include "screen/sdl/sdl_wait.h"

#include <SDL.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstring>
#include <mutex>

namespace zopp {

static_assert(kLastSdlInputEvent == SDL_USEREVENT - 1);

SdlWait::SdlWait() : wakeCounter_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

SdlWait::~SdlWait() {
    if (wakeCounter_ >= 0) close(wakeCounter_);
}

// SDL's wait sleeps on the connection only under the drivers that have one to sleep on; under any other
// it would poll the queue every millisecond.
bool SdlWait::waitInSdl() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (display_ || !driver || std::strcmp(driver, "wayland") != 0) return false;
    const Uint32 type = SDL_RegisterEvents(1);
    if (type == static_cast<Uint32>(-1)) return false;
    sdlWake_ = type;
    return true;
}

void SdlWait::stopWaitingInSdl() {
    std::lock_guard hold(sdlWakeMutex_);
    sdlWake_ = 0;
}

void SdlWait::wake() {
    if (sdlWake_.load() != 0) {
        // Pushed under the mutex: once the closing window has stopped SDL's wait, no push is still on its
        // way into the event queue that SDL's video shutdown frees.
        std::lock_guard hold(sdlWakeMutex_);
        if (const Uint32 type = sdlWake_.load()) {
            SDL_Event event{};
            event.type = type;
            SDL_PushEvent(&event);  // ends SDL's wait on another thread
            return;
        }
    }
    const std::uint64_t one = 1;
    if (wakeCounter_ >= 0) static_cast<void>(write(wakeCounter_, &one, sizeof one));
}

// The wake events stay in SDL's queue until a wait takes them (the pump takes only input), so that one
// pushed while the loop was busy ends the next wait at once.
bool SdlWait::waitForSdlEvents(std::optional<std::chrono::nanoseconds> timeout) {
    const Uint32 wakeType = sdlWake_.load();
    if (!SDL_HasEvent(wakeType)) {
        int ms = -1;  // no limit
        if (timeout) {
            // Rounded up: a wait that ended early would only wait again.
            const auto rounded = std::chrono::ceil<std::chrono::milliseconds>(*timeout).count();
            ms = static_cast<int>(std::clamp<std::int64_t>(rounded, 0, INT_MAX));
        }
        SDL_WaitEventTimeout(nullptr, ms);  // without an event to fill, it takes none from the queue
    }
    SDL_FlushEvent(wakeType);
    return SDL_HasEvents(SDL_FIRSTEVENT, kLastSdlInputEvent) == SDL_TRUE;
}

bool SdlWait::wait(std::optional<std::chrono::nanoseconds> timeout) {
    if (sdlWake_.load()) return waitForSdlEvents(timeout);
    auto* display = static_cast<Display*>(display_);
    if (!display && !timeout) timeout = std::chrono::nanoseconds::zero();  // never sleep blind
    // Events a round trip read in after the last pump (a pointer query, a grab) wait in Xlib's queue,
    // and the socket will not announce them again.
    if (display && XEventsQueued(display, QueuedAlready) > 0) return true;
    std::array<pollfd, 2> watched{};
    nfds_t count = 0;
    if (wakeCounter_ >= 0) watched[count++] = pollfd{wakeCounter_, POLLIN, 0};
    if (display) watched[count++] = pollfd{ConnectionNumber(display), POLLIN, 0};
    timespec limit{};
    if (timeout) {
        const auto ns = std::max<std::int64_t>(timeout->count(), 0);
        limit = timespec{static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
    }
    const int ready = ppoll(watched.data(), count, timeout ? &limit : nullptr, nullptr);
    if (ready > 0 && wakeCounter_ >= 0 && watched[0].revents) {
        std::uint64_t wakes = 0;
        static_cast<void>(read(wakeCounter_, &wakes, sizeof wakes));
    }
    return !display || (ready > 0 && watched[count - 1].revents != 0);
}

}  // namespace zopp
