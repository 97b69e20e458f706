// The game flow: what a left-button release does in each phase, and the end of a game.
#pragma once

#include "game/main_loop.h"

namespace zopp {

// Handles a click at the remembered position (loop.mouseX, loop.mouseY) by loop.phase; may change the
// phase. Clicks that hit nothing valid are ignored, except that between throws every click redraws the
// message and the dice.
void handleClick(GameState& game, MainLoop& loop);

}  // namespace zopp
