// The pictures of the table and its controls, each painted onto felt at the game's fixed size.
#pragma once

#include "tools/canvas.h"

namespace zopp::pictures {

Canvas drawBackground();                // 640×480
Canvas drawScoreCell(bool emphasised);  // 100×20
Canvas drawLock(bool closed);           // 10×10
Canvas drawButton(int style);           // 200×50: 0 throw, 1 to the scoreboard
Canvas drawCheckmark(bool ticked);      // 20×20

}  // namespace zopp::pictures
