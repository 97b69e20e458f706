// The main loop: one poll, the reaction to the event, a 2 ms sleep, for ever.
#pragma once

#include "game/main_loop.h"

namespace zopp {

// The reaction to one event: a pointer move remembers the position, a left-button release is a click
// there, a close request ends the program with exit code 0. Every other event is ignored.
void reactToEvent(GameState& game, MainLoop& loop, const ScreenEvent& event);

// Polls into loop.event; the only way out is a close request or a run-time error.
[[noreturn]] void runEventLoop(GameState& game, MainLoop& loop);

}  // namespace zopp
