// Throwing and holding dice within a turn.
#pragma once

#include <cstdint>

#include "game/main_loop.h"

namespace zopp {

// One random whole number from 1 to n: floor(randomUnit(1) × n) + 1.
std::int32_t rollDie(std::int32_t n);

// The die value that random number r in [0, 1) gives: floor(r × n) + 1.
std::int32_t dieFromRandom(double r, std::int32_t n);

// Throws every die that is PickedUp or NotThrown, in die order; each becomes Lying.
void throwDice(GameState& game);

// Locks every Lying die (rule variant Locked, right before the second and third throw).
void lockLyingDice(GameState& game);

// The pick-up toggle for die 1..5: a locked die does not react; PickedUp becomes Lying, anything else
// PickedUp. Then pickedUpCount is recounted. Numbers outside 1..5 change nothing.
void togglePickUp(GameState& game, std::int32_t die);

// pickedUpCount = the sum of the five dice's state.
void countPickedUp(GameState& game);

}  // namespace zopp
