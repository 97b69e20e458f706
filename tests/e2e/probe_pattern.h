// The screen probe's picture, drawn straight into the frame buffer, and what a window must show of it.
#pragma once

#include <cstdint>

namespace zopp::e2e {

struct PatternBox {
    std::int32_t x, y, width, height;
    std::uint32_t colour;  // as written into the frame buffer, alpha byte included
};

// On black; the game writes its colours with alpha 0.
inline constexpr PatternBox kProbePattern[] = {
    {10, 10, 100, 50, 0x00FF0000},   // red
    {200, 100, 50, 50, 0xFF00FF00},  // green
    {639, 479, 1, 1, 0x000000FF},    // blue corner
    {0, 0, 1, 1, 0x00FFFFFF},        // white corner
};

// The colour 0xRRGGBB the window shows for screen pixel (x, y).
inline std::uint32_t probeColour(std::int32_t x, std::int32_t y) {
    for (const PatternBox& box : kProbePattern) {
        if (x >= box.x && x < box.x + box.width && y >= box.y && y < box.y + box.height)
            return box.colour & 0xFFFFFF;
    }
    return 0;
}

}  // namespace zopp::e2e
