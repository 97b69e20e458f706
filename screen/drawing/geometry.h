// Coordinate resolution and clipping shared by the drawing operations.
#pragma once

#include <cstdint>
#include <optional>

#include "screen/drawing/draw_context.h"

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

// Rounds half away from zero: 10.5 → 11, -10.5 → -11, 0.4 → 0. Far-off values saturate, NaN is 0.
std::int32_t roundCoordinate(float value);

// What a mode argument's low 3 bits say: 0 and 4 absolute, 5 the point relative to the pen; an operation
// with a second point also knows 1 (the second relative to the first), 2 (the first relative to the pen)
// and 3 (both). A second point is a corner of a line or box, or the far source corner of putImage.
struct CoordinateRules {
    bool firstFromPen = false;
    bool secondFromFirst = false;
};
CoordinateRules coordinateRules(std::int32_t mode, bool twoPoints);

struct PixelPoint {
    std::int32_t x, y;
};

// Adds the pen when fromPen, rounds, and moves the pen there.
PixelPoint placePoint(DrawContext& context, bool fromPen, float x, float y);

// A single point (text) under mode, rounded; the pen takes it.
PixelPoint resolvePoint(DrawContext& context, std::int32_t mode, float x, float y);

// Two points under mode, rounded; the pen takes the second so relative calls chain.
PointPair resolvePointPair(DrawContext& context, std::int32_t mode, float x1, float y1, float x2, float y2);

}  // namespace zopp
