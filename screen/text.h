// Text drawing with the built-in fonts or an image font.
#pragma once

#include <cstdint>
#include <string_view>

#include "screen/blit.h"

namespace zopp {

// Draws text with its first cell's top-left corner at (x, y). flags: DEFAULT_COLOR (bit 31) = foreground
// colour, bits 0-2 the coordinate mode. font empty = the built-in font of the text grid; otherwise an
// image font drawn through blitter. Only set glyph bits are drawn; no byte is special.
// Returns 0; 1 when text is a null view (no descriptor) or the image font is unusable.
std::int32_t drawText(ImageBytes target, float x, float y, std::int32_t flags, std::string_view text,
                      std::uint32_t colour, ConstImageBytes font = {}, std::int32_t putMode = 0,
                      RowBlitter blitter = nullptr, void* blender = nullptr, void* parameter = nullptr);

}  // namespace zopp
