#include "frame/random.h"

#include <array>
#include <cmath>

#include "frame/runtime.h"
#include "frame/timing.h"

namespace zopp {

namespace {

constexpr int MT_WORDS = 624;
constexpr int MT_SHIFT = 397;
constexpr std::uint32_t MT_MATRIX = 0x9908B0DFu;
constexpr std::uint32_t MT_UPPER_MASK = 0x80000000u;
constexpr std::uint32_t MT_LOWER_MASK = 0x7FFFFFFFu;
constexpr double TWO_POW_32 = 4294967296.0;

struct RandomGenerator {
    // The generator number seedRandom chose, the default resolved (0 = none yet, so the first draw seeds).
    std::int32_t selected = 0;
    std::array<std::uint32_t, MT_WORDS> mtState{};
    int mtIndex = MT_WORDS;
    double lastRandom = 0.0;
};

RandomGenerator generator;

// Low 32 bits of the seed truncated toward zero, as two's complement. Reducing modulo 2^32 in double
// gives the same word as a 64-bit conversion for every seed that fits, and stays defined for the rest.
std::uint32_t seedWord(double seed) {
    if (!std::isfinite(seed)) return 0;
    double low = std::fmod(std::trunc(seed), TWO_POW_32);
    if (low < 0) low += TWO_POW_32;
    return static_cast<std::uint32_t>(low);
}

std::uint32_t twist(std::uint32_t upper, std::uint32_t lower, std::uint32_t shifted) {
    const std::uint32_t y = (upper & MT_UPPER_MASK) | (lower & MT_LOWER_MASK);
    return shifted ^ (y >> 1) ^ ((y & 1u) != 0 ? MT_MATRIX : 0u);
}

// The published block regeneration, split where the word MT_SHIFT ahead wraps to the block's start.
void regenerate(std::array<std::uint32_t, MT_WORDS>& mt) {
    int i = 0;
    for (; i < MT_WORDS - MT_SHIFT; ++i)
        mt[i] = twist(mt[i], mt[i + 1], mt[i + MT_SHIFT]);
    for (; i < MT_WORDS - 1; ++i)
        mt[i] = twist(mt[i], mt[i + 1], mt[i + MT_SHIFT - MT_WORDS]);
    mt[MT_WORDS - 1] = twist(mt[MT_WORDS - 1], mt[0], mt[MT_SHIFT - 1]);
}

std::uint32_t temper(std::uint32_t y) {
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    return y;
}

}  // namespace

std::int32_t defaultRandomAlgorithm(std::int32_t compatibilityLevel) {
    if (compatibilityLevel == 1 || compatibilityLevel == 2) return 1;
    if (compatibilityLevel == 3) return 4;
    return MERSENNE_TWISTER;
}

void seedRandom(double seed, std::int32_t algorithm) {
    if (algorithm == DEFAULT_RANDOM_ALGORITHM) algorithm = defaultRandomAlgorithm(compatibilityLevel());
    // The other numbers name generators this program never chooses; they are not built, so whatever the
    // number, the Twister runs.
    generator.selected = algorithm;
    if (seed == -1.0) seed = timerSeconds();

    // A linear congruential fill instead of the published initialisation of the Twister.
    generator.mtState[0] = seedWord(seed);
    for (int i = 1; i < MT_WORDS; ++i)
        generator.mtState[i] = generator.mtState[i - 1] * 1664525u + 1013904223u;
    generator.mtIndex = MT_WORDS;
}

double randomUnit(float argument) {
    if (generator.selected == 0) seedRandom(0.0, DEFAULT_RANDOM_ALGORITHM);
    if (argument == 0.0f) return generator.lastRandom;

    if (generator.mtIndex == MT_WORDS) {
        regenerate(generator.mtState);
        generator.mtIndex = 0;
    }
    const std::uint32_t word = temper(generator.mtState[generator.mtIndex++]);
    generator.lastRandom = static_cast<double>(word) / TWO_POW_32;
    return generator.lastRandom;
}

}  // namespace zopp
