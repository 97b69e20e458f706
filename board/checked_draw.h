// Drawing calls whose failure ends the program with a run-time error report naming a fixed report line
// and the game's module. Nothing is retried.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "screen/images/image.h"

namespace zopp {

// A non-zero result of a checked screen call becomes the report for that number at reportLine.
void checkResult(std::int32_t result, std::int32_t reportLine);

// Puts the whole image at (x, y) on the screen as a plain copy. A missing image fails like a null one.
void putImageChecked(const ImagePtr& image, std::int32_t x, std::int32_t y, std::int32_t reportLine);

// Image `index` of a group; an index outside the group gives no image, so drawing it fails its check
// instead of reading past the group.
template <std::size_t N>
const ImagePtr& imageAt(const std::array<ImagePtr, N>& group, std::int32_t index) {
    static const ImagePtr kNone;
    return index >= 0 && static_cast<std::size_t>(index) < N ? group[static_cast<std::size_t>(index)] : kNone;
}

// Draws text with its top left corner at (x, y) on the screen in colour (0xRRGGBB), built-in font.
void drawTextChecked(std::int32_t x, std::int32_t y, std::string_view text, std::uint32_t colour,
                     std::int32_t reportLine);

}  // namespace zopp
