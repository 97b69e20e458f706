// The two platform clocks behind timerSeconds.
#pragma once

#include <optional>

namespace zopp {

// Length of one tick of the high-resolution counter in seconds (1 / its frequency); none when the
// platform has no such counter.
std::optional<double> counterTickSeconds();

// The counter's current value times tickSeconds.
double counterSeconds(double tickSeconds);

// Whole milliseconds since system start, times 0.001.
double tickCountSeconds();

}  // namespace zopp
