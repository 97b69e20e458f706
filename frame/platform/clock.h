// Seam: the two platform clocks behind timerSeconds. The mode choice and its caching stay shared.
// POSIX: the raw monotonic clock; Win32: QueryPerformanceFrequency/Counter and GetTickCount64;
// browser: emscripten_get_now for both.
#pragma once

#include <optional>

namespace zopp::platform {

// Length of one tick of the high-resolution counter in seconds (1 / its frequency); none when the
// platform has no such counter.
std::optional<double> counterTickSeconds();

// The counter's current value times tickSeconds.
double counterSeconds(double tickSeconds);

// Whole milliseconds since system start, times 0.001.
double tickCountSeconds();

}  // namespace zopp::platform
