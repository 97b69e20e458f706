// The dice tray: die i (1..5) at (60i + 10, 380), 50×50, with its 10×10 lock mark at (60i + 30, 435).
#pragma once

#include "board/game_state.h"

namespace zopp {

// Begins a turn: every die back to value 0, NotThrown, unlocked; the screen under the message button
// saved into imgButton[2]; "1. Wurf Spieler N" on the button; the dice drawn.
void startTurn(GameState& game);

// Each die's face (face 0 while NotThrown or PickedUp) and its lock mark (open or closed).
void drawDice(GameState& game);

}  // namespace zopp
