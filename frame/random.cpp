#include "frame/random.h"

#include <array>
#include <cmath>

#include "frame/runtime.h"
#include "frame/timing.h"

namespace zopp {

namespace {

constexpr int kMtWords = 624;
constexpr int kMtShift = 397;
constexpr std::uint32_t kMtMatrix = 0x9908B0DFu;
constexpr std::uint32_t kMtUpperMask = 0x80000000u;
constexpr std::uint32_t kMtLowerMask = 0x7FFFFFFFu;
constexpr double kTwoPow32 = 4294967296.0;

// The generator number seedRandom chose (the default resolved; 0 = none yet, so the first draw seeds), the
// Twister's block and index, and the last number drawn.
RandomState generator;
static_assert(std::tuple_size_v<decltype(RandomState::words)> == kMtWords);

// Low 32 bits of the seed truncated toward zero, as two's complement. Reducing modulo 2^32 in double
// gives the same word as a 64-bit conversion for every seed that fits, and stays defined for the rest.
std::uint32_t seedWord(double seed) {
    if (!std::isfinite(seed)) return 0;
    double low = std::fmod(std::trunc(seed), kTwoPow32);
    if (low < 0) low += kTwoPow32;
    return static_cast<std::uint32_t>(low);
}

std::uint32_t twist(std::uint32_t upper, std::uint32_t lower, std::uint32_t shifted) {
    const std::uint32_t y = (upper & kMtUpperMask) | (lower & kMtLowerMask);
    return shifted ^ (y >> 1) ^ ((y & 1u) != 0 ? kMtMatrix : 0u);
}

// The published block regeneration, split where the word kMtShift ahead wraps to the block's start.
void regenerate(std::array<std::uint32_t, kMtWords>& mt) {
    int i = 0;
    for (; i < kMtWords - kMtShift; ++i)
        mt[i] = twist(mt[i], mt[i + 1], mt[i + kMtShift]);
    for (; i < kMtWords - 1; ++i)
        mt[i] = twist(mt[i], mt[i + 1], mt[i + kMtShift - kMtWords]);
    mt[kMtWords - 1] = twist(mt[kMtWords - 1], mt[0], mt[kMtShift - 1]);
}

std::uint32_t temper(std::uint32_t y) {
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    return y;
}

}  // namespace

RandomState randomState() {
    return generator;
}

bool restoreRandomState(const RandomState& state) {
    const double scaled = state.lastRandom * kTwoPow32;
    const bool lastDrawable =
        state.lastRandom >= 0.0 && state.lastRandom < 1.0 && scaled == std::floor(scaled);
    if (state.selected < 0 || state.index < 0 || state.index > kMtWords || !lastDrawable) return false;
    generator = state;
    return true;
}

std::int32_t defaultRandomAlgorithm(std::int32_t compatibilityLevel) {
    if (compatibilityLevel == 1 || compatibilityLevel == 2) return 1;
    if (compatibilityLevel == 3) return 4;
    return kMersenneTwister;
}

void seedRandom(double seed, std::int32_t algorithm) {
    if (algorithm == kDefaultRandomAlgorithm) algorithm = defaultRandomAlgorithm(compatibilityLevel());
    // The other numbers name generators this program never chooses; they are not built, so whatever the
    // number, the Twister runs.
    generator.selected = algorithm;
    if (seed == -1.0) seed = timerSeconds();

    // A linear congruential fill instead of the published initialisation of the Twister.
    generator.words[0] = seedWord(seed);
    for (int i = 1; i < kMtWords; ++i)
        generator.words[i] = generator.words[i - 1] * 1664525u + 1013904223u;
    generator.index = kMtWords;
}

double randomUnit(float argument) {
    if (generator.selected == 0) seedRandom(0.0, kDefaultRandomAlgorithm);
    if (argument == 0.0f) return generator.lastRandom;

    if (generator.index == kMtWords) {
        regenerate(generator.words);
        generator.index = 0;
    }
    const std::uint32_t word = temper(generator.words[generator.index++]);
    generator.lastRandom = static_cast<double>(word) / kTwoPow32;
    return generator.lastRandom;
}

}  // namespace zopp
