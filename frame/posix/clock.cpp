#include "frame/platform/clock.h"

#include <time.h>

#include <cstdint>

namespace zopp::platform {

namespace {

// The raw monotonic clock is the platform's free-running counter: no slewing, so intervals stay honest.
// Its value is counted in nanoseconds whatever its resolution.
constexpr clockid_t COUNTER_CLOCK = CLOCK_MONOTONIC_RAW;
constexpr double COUNTER_FREQUENCY = 1e9;

}  // namespace

std::optional<double> counterTickSeconds() {
    timespec resolution{};
    if (clock_getres(COUNTER_CLOCK, &resolution) != 0) return std::nullopt;
    return 1.0 / COUNTER_FREQUENCY;
}

double counterSeconds(double tickSeconds) {
    timespec now{};
    clock_gettime(COUNTER_CLOCK, &now);
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
