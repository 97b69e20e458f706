// The program's random generator: a Mersenne Twister with its own seeding.
#pragma once

#include <array>
#include <cstdint>

namespace zopp {

inline constexpr std::int32_t kDefaultRandomAlgorithm = 0;
inline constexpr std::int32_t kMersenneTwister = 3;

// Seeds the generator. Algorithm 0 picks the default for the compatibility level (the Mersenne Twister,
// 3, for the game's level 0). Every number selects the Mersenne Twister: the other generators are never
// chosen by this program and are not built. Seed -1.0 takes timerSeconds(). The seed is truncated toward
// zero and its low 32 bits (two's complement) seed the state; NaN and infinities count as 0.
void seedRandom(double seed, std::int32_t algorithm);

// Next number in [0, 1), a multiple of 2^-32; argument 0 returns the previous result without drawing.
// The first call before any seedRandom seeds with 0.0 and algorithm 0.
double randomUnit(float argument);

// The generator's whole state, so that a program carried over to another run draws exactly the numbers
// it would have drawn.
struct RandomState {
    std::int32_t selected = 0;  // the generator seedRandom chose; 0 until the first seed
    std::array<std::uint32_t, 624> words{};
    std::int32_t index = 624;  // the next word to temper; 624 regenerates the block first
    double lastRandom = 0.0;   // what randomUnit(0) returns
};

RandomState randomState();

// Takes over a state that randomState() gave. Returns false and changes nothing when the state is not one
// the generator can be in: a negative generator number, an index beyond the block, or a last number that
// is not a multiple of 2^-32 in [0, 1).
bool restoreRandomState(const RandomState& state);

// The algorithm that algorithm 0 stands for at a compatibility level: 1 for levels 1 and 2, 4 for
// level 3, the Mersenne Twister for 0 and everything above 3.
std::int32_t defaultRandomAlgorithm(std::int32_t compatibilityLevel);

}  // namespace zopp
