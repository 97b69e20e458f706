// The setup screen: the two rule variants with a tick box each, and one to four players as die faces.
#pragma once

#include "game/main_loop.h"

namespace zopp {

// Seeds the random generator from the timer's whole seconds, sets playerCount to 0 and draws the whole
// screen. ruleVariant is kept, so the previous game's choice stays ticked.
void showSetupScreen(GameState& game);

// Redraws the two tick boxes at (30, 40) and (30, 90) for the current ruleVariant.
void drawRuleMarks(GameState& game);

}  // namespace zopp
