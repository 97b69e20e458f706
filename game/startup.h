// The game's start-up: constants, the window, the images and their bitmaps, the setup screen.
#pragma once

#include "game/main_loop.h"

namespace zopp {

// Everything between the program frame's start and the first pass of the event loop. The first checked
// call that fails (the screen, the text grid, a bitmap in "dat\") ends the program with its report.
void startGame(GameState& game, MainLoop& loop);

}  // namespace zopp
