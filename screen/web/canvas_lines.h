// Frame-buffer lines as a canvas takes them (ImageData): bytes red, green, blue, alpha.
#pragma once

#include <cstdint>

#include "screen/state/screen_state.h"

namespace zopp {

// Converts line y of the visible page into width RGBA pixels at `out`. The alpha is always opaque: the
// page shows only the colour, as a window does (the game's colours carry alpha 0).
void canvasLine(const ScreenState& screen, std::int32_t y, std::uint8_t* out);

}  // namespace zopp
