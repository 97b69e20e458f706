// The game flow: what a left-button release does in each phase, and the end of a game.
#pragma once

#include "game/main_loop.h"

namespace zopp {

// Handles a click at the remembered position (loop.mouseX, loop.mouseY) by loop.phase; may change the
// phase. Clicks that hit nothing valid are ignored, except that between throws every click redraws the
// message and the dice.
void handleClick(GameState& game, MainLoop& loop);

// What the message button says in loop.phase, drawn: the throw to come, the way to the scoreboard, the
// request to choose a row, or the end of the game (with its strip and closing words).
void showPhaseMessage(GameState& game, const MainLoop& loop);

}  // namespace zopp
