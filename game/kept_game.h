// A game in progress outlives the run where the platform keeps a value (the browser page, whose tab may be
// ended or reloaded at any moment): it is kept after every event that changed it and comes back at the
// next start exactly as it was. Desktop platforms keep nothing, so there these do nothing.
#pragma once

#include "game/main_loop.h"

namespace zopp {

// At start-up, once the pictures are loaded: restores the kept game and draws it. False, with nothing
// drawn, when none was kept or the value was rejected (then it says why once on the error stream).
bool resumeKeptGame(GameState& game, MainLoop& loop);

// Keeps the game when it changed since it was last kept.
void keepGame(const GameState& game, MainLoop& loop);

// The person asked, outside the board, to leave the game in progress: back to the setup screen, the rule
// choice kept, as after a finished game.
void leaveGame(GameState& game, MainLoop& loop);

// Draws the whole board of the restored state: the same pixels the clicks that led there drew.
void drawKeptGame(GameState& game, const MainLoop& loop);

}  // namespace zopp
