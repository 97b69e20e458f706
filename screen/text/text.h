// Text drawing with the built-in fonts or an image font.
#pragma once

#include <cstdint>
#include <string_view>

#include "screen/drawing/blit.h"

namespace zopp {

// Draws text with its first cell's top-left corner at (x, y), pixels rounded half away from zero.
// flags: DEFAULT_COLOR (bit 31) = the foreground colour instead of colour (0xRRGGBB, converted to the
// target's pixel size); bits 0-2 the coordinate mode (5 = relative to the pen, else absolute); the pen
// takes the rounded (x, y). No byte is special: 0, 10 and 13 draw their glyphs too.
//
// font empty = the built-in font of the text grid: only set glyph bits are drawn, clipped to the clip
// rectangle. Otherwise font is an image font of the target's pixel size: row 0 holds version 0, the first
// and last character code and one width byte per character; the glyphs stand side by side in the rows
// below. Each character is drawn by blitter (given alpha -1, blender and parameter) and x advances by its
// width; characters outside the font's range are skipped. putMode is accepted for the call's shape only.
//
// Returns 0, also without a screen (nothing drawn); 1 for a null text view, an unusable target image, an
// unusable image font or an image font without a blitter.
std::int32_t drawText(ImageBytes target, float x, float y, std::int32_t flags, std::string_view text,
                      std::uint32_t colour, ConstImageBytes font = {}, std::int32_t putMode = 0,
                      RowBlitter blitter = nullptr, void* blender = nullptr, void* parameter = nullptr);

}  // namespace zopp
