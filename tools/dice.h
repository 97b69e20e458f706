// Dice drawn at any place, size and angle: the game's die faces, the throw button and the icon share
// them.
#pragma once

#include "tools/canvas.h"

namespace zopp::pictures {

struct DiePlacement {
    double cx, cy;  // centre
    double size;    // edge length
    double cornerRadius;
    double pipRadius;
    double cosine = 1, sine = 0;  // turned about its centre
};

// Paints an ivory die at rest showing face 0 (blank) to 6.
void paintDie(Canvas& canvas, const DiePlacement& die, int face);

// A 50×50 die face as the tray shows it: 1..6 an ivory die at rest, 0 the die-shaped hollow left in
// the felt by a die that is not thrown yet or picked up.
Canvas drawDieFace(int face);

}  // namespace zopp::pictures
