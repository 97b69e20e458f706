// Conversion of frame-buffer lines to the window's pixel layout, for the back-ends.
#pragma once

#include <cstdint>

#include "screen/state/screen_state.h"

namespace zopp {

// A packed RGB pixel layout: 2, 3 or 4 bytes a pixel, each channel 8 bits wide shifted right by its loss
// and left by its shift, and `setBits` set in every pixel (an opaque alpha where the target reads one).
struct PixelLayout {
    std::int32_t bytesPerPixel = 4;
    std::uint8_t redShift = 16, greenShift = 8, blueShift = 0;
    std::uint8_t redLoss = 0, greenLoss = 0, blueLoss = 0;
    std::uint32_t setBits = 0;

    // True when a 32-bit screen line can be copied unchanged (bytes B, G, R, then an ignored byte).
    bool matchesScreen32() const {
        return bytesPerPixel == 4 && redShift == 16 && greenShift == 8 && blueShift == 0 && redLoss == 0 &&
               greenLoss == 0 && blueLoss == 0 && setBits == 0;
    }
};

// The colour 0x00RRGGBB that a stored pixel shows: 32-bit pixels drop their alpha, 16-bit ones are
// 5-6-5, paletted ones (depth 8 and less) index the palette.
std::uint32_t shownColour(const ScreenState& screen, const std::uint8_t* pixel);

// Converts line y of the visible page into `out`, which holds width pixels of layout.
void convertLine(const ScreenState& screen, std::int32_t y, const PixelLayout& layout, std::uint8_t* out);

}  // namespace zopp
