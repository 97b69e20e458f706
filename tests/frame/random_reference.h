// An independent reference for the program's generator: the standard library's MT19937, loaded with
// the 624 words that the program's seeding produces, filled by the standard library's LCG.
#pragma once

#include <cstdint>
#include <random>
#include <sstream>

namespace zopp::testing {

inline std::mt19937 referenceTwister(std::uint32_t word0) {
    std::linear_congruential_engine<std::uint32_t, 1664525, 1013904223, 0> fill(word0);
    std::stringstream state;
    state << word0;
    for (int i = 1; i < 624; ++i)
        state << ' ' << fill();
    // The position 624 makes the next draw regenerate the block first; a stream that keeps no position
    // reads the 624 words as the latest outputs, which means the same.
    state << " 624";
    std::mt19937 twister;
    state >> twister;
    return twister;
}

inline double unitOf(std::uint32_t word) {
    return word / 4294967296.0;
}

}  // namespace zopp::testing
