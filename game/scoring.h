// Scoring the five dice into every category, and a player's sums.
#pragma once

#include "game/main_loop.h"

namespace zopp {

// faceCount[f] = how many dice show face f (1..6).
void countFaces(GameState& game);

// Candidate value of every category of the current throw into column 0 of the score table.
void evaluateThrow(GameState& game);

// Recomputes "oben", "Bonus", "unten" and "Gesamt" of the current player from the filled rows.
void updateTotals(GameState& game);

}  // namespace zopp
