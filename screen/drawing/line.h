// Lines, box outlines and filled boxes.
#pragma once

#include <cstdint>

#include "screen/images/image.h"

namespace zopp {

enum LineKind : std::int32_t {
    LineSegment = 0,
    LineBox = 1,
    LineFilledBox = 2,
};

// Draws from (x1, y1) to (x2, y2) on target (kScreen = the screen). style is a 16-bit pattern starting at
// bit 15; flags holds DEFAULT_COLOR (use the foreground colour) and the coordinate mode in bits 0-2.
void drawLine(ImageBytes target, float x1, float y1, float x2, float y2, std::uint32_t colour,
              std::int32_t kind, std::uint32_t style = 0xFFFF, std::int32_t flags = 0);

}  // namespace zopp
