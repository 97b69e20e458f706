#include "frame/platform/clock.h"

#include <time.h>

#include <cstdint>

namespace zopp::platform {

namespace {

// The raw monotonic clock is the platform's free-running counter: no slewing, so intervals stay honest.
// Its value is counted in nanoseconds whatever its resolution.
constexpr clockid_t kCounterClock = CLOCK_MONOTONIC_RAW;
constexpr double kCounterFrequency = 1e9;

}  // namespace

std::optional<double> counterTickSeconds() {
    timespec resolution{};
    if (clock_getres(kCounterClock, &resolution) != 0) return std::nullopt;
    return 1.0 / kCounterFrequency;
}

double counterSeconds(double tickSeconds) {
    timespec now{};
    clock_gettime(kCounterClock, &now);
    const std::int64_t ticks = static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
    return static_cast<double>(ticks) * tickSeconds;
}

double tickCountSeconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const std::int64_t milliseconds = static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
    return static_cast<double>(milliseconds) * 0.001;
}

}  // namespace zopp::platform
