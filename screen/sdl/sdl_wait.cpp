#include "screen/sdl/sdl_wait.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>

namespace zopp {

SdlWait::SdlWait() : wakeCounter_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

SdlWait::~SdlWait() {
    if (wakeCounter_ >= 0) close(wakeCounter_);
}

void SdlWait::wake() {
    const std::uint64_t one = 1;
    if (wakeCounter_ >= 0) static_cast<void>(write(wakeCounter_, &one, sizeof one));
}

void SdlWait::wait(std::optional<std::chrono::nanoseconds> timeout) {
    std::array<pollfd, 2> watched{};
    nfds_t count = 0;
    if (wakeCounter_ >= 0) watched[count++] = pollfd{wakeCounter_, POLLIN, 0};
    if (displaySocket_ >= 0) watched[count++] = pollfd{displaySocket_, POLLIN, 0};
    timespec limit{};
    if (timeout) {
        const auto ns = std::max<std::int64_t>(timeout->count(), 0);
        limit = timespec{static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
    }
    if (ppoll(watched.data(), count, timeout ? &limit : nullptr, nullptr) > 0 && wakeCounter_ >= 0 &&
        watched[0].revents) {
        std::uint64_t wakes = 0;
        static_cast<void>(read(wakeCounter_, &wakes, sizeof wakes));
    }
}

}  // namespace zopp
