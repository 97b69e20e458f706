// The dice tray: five 50×50 dice, each with its 10×10 lock mark below (positions in board/screen_layout.h).
#pragma once

#include "board/game_state.h"

namespace zopp {

// Begins a turn: every die back to value 0, NotThrown, unlocked; the screen under the message button
// saved into imgButton[2]; "1. Wurf Spieler N" on the button; the dice drawn.
void startTurn(GameState& game);

// Each die's face (face 0 while NotThrown or PickedUp) and its lock mark (open or closed).
void drawDice(GameState& game);

}  // namespace zopp
