// Colours shared by several pictures. Every picture that the game puts onto the background is painted
// onto felt first, so its anti-aliased edges melt into the table wherever it lands.
#pragma once

#include "tools/canvas.h"

namespace zopp::pictures {

// Light enough for black text (about 10:1), dark enough to frame white cells and ivory dice.
inline const Colour kFelt = rgb(0xA7C9A0);
inline const Colour kFeltShade = rgb(0x2C4A30);  // shadows and engraving on the felt
inline const Colour kIvory = rgb(0xFFFDF6);
inline const Colour kIvoryShade = rgb(0xE4DECF);
inline const Colour kDieEdge = rgb(0x5F6459);
inline const Colour kPip = rgb(0x2A2A33);
inline const Colour kPaper = rgb(0xFFFFFF);  // cell interiors: red text on it only just reaches 4.5:1

}  // namespace zopp::pictures
