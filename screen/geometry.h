// Coordinate resolution and clipping shared by the drawing operations.
#pragma once

#include <cstdint>
#include <optional>

#include "screen/draw_context.h"

namespace zopp {

// The part of a width × height block at (x, y) inside clip, and how far into the block it starts.
struct ClippedBlock {
    std::int32_t x, y, width, height;
    std::int32_t skipX, skipY;  // columns and rows of the block left of / above the clip rectangle
};

// nullopt when the block lies wholly outside clip (or is empty). Arithmetic in 64 bits so positions
// near the int32 limits cannot wrap.
std::optional<ClippedBlock> clipBlock(const Rect& clip, std::int32_t x, std::int32_t y, std::int32_t width,
                                      std::int32_t height);

struct PointPair {
    std::int32_t x1, y1, x2, y2;
};

// The inclusive, ordered corners (x1 ≤ x2, y1 ≤ y2) clamped to clip; nullopt when the box lies wholly
// outside it.
std::optional<PointPair> clipCorners(const Rect& clip, std::int64_t x1, std::int64_t y1, std::int64_t x2,
                                     std::int64_t y2);

// The context's clip rectangle cut to its target, so pixel routines never leave the target.
Rect targetClip(const DrawContext& context);

// Applies a two-point coordinate mode (1: second relative to first, 2 and 5: first relative to the pen,
// 3: both), rounds, and leaves the pen on the second point so relative calls chain.
PointPair resolvePointPair(DrawContext& context, std::int32_t mode, float x1, float y1, float x2, float y2);

}  // namespace zopp
