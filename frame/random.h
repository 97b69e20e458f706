// The program's random generator: a Mersenne Twister with its own seeding.
#pragma once

#include <cstdint>

namespace zopp {

// Seeds the generator. Algorithm 0 picks the default for the compatibility level (the Mersenne Twister,
// 3, for the game's level 0); seed -1.0 takes the timer. The seed is truncated toward zero.
void seedRandom(double seed, std::int32_t algorithm);

// Next number in [0, 1); argument 0 returns the previous result without drawing.
double randomUnit(float argument);

}  // namespace zopp
