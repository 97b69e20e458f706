#include "screen/drawing/geometry.h"

#include <algorithm>

namespace zopp {

std::optional<PointPair> clipCorners(const Rect& clip, std::int64_t x1, std::int64_t y1, std::int64_t x2,
                                     std::int64_t y2) {
    if (clip.width <= 0 || clip.height <= 0) return std::nullopt;
    const std::int64_t right = std::int64_t(clip.x) + clip.width - 1;
    const std::int64_t bottom = std::int64_t(clip.y) + clip.height - 1;
    if (x2 < clip.x || y2 < clip.y || x1 > right || y1 > bottom || x1 > x2 || y1 > y2) return std::nullopt;
    return PointPair{static_cast<std::int32_t>(std::max<std::int64_t>(x1, clip.x)),
                     static_cast<std::int32_t>(std::max<std::int64_t>(y1, clip.y)),
                     static_cast<std::int32_t>(std::min(x2, right)),
                     static_cast<std::int32_t>(std::min(y2, bottom))};
}

std::optional<ClippedBlock> clipBlock(const Rect& clip, std::int32_t x, std::int32_t y, std::int32_t width,
                                      std::int32_t height) {
    if (width <= 0 || height <= 0) return std::nullopt;
    const auto c = clipCorners(clip, x, y, std::int64_t(x) + width - 1, std::int64_t(y) + height - 1);
    if (!c) return std::nullopt;
    return ClippedBlock{c->x1, c->y1, c->x2 - c->x1 + 1, c->y2 - c->y1 + 1, c->x1 - x, c->y1 - y};
}

Rect targetClip(const DrawContext& c) {
    const auto block =
        clipBlock(Rect{0, 0, c.width, c.height}, c.clip.x, c.clip.y, c.clip.width, c.clip.height);
    if (!block) return Rect{};
    return Rect{block->x, block->y, block->width, block->height};
}

std::int32_t roundCoordinate(float value) {
    // Saturating keeps the conversion defined; clipping then rejects the far-off point.
    if (!(value == value)) return 0;
    const double v = std::clamp(static_cast<double>(value), -2147483648.0, 2147483647.0);
    return static_cast<std::int32_t>(v > 0 ? std::min(v + 0.5, 2147483647.0)
                                           : std::max(v - 0.5, -2147483648.0));
}

CoordinateRules coordinateRules(std::int32_t mode, bool twoPoints) {
    mode &= 7;
    if (!twoPoints) return {mode == CoordPenRelative, false};
    return {mode == CoordFirstRelative || mode == CoordBothRelative || mode == CoordPenRelative,
            mode == CoordSecondRelative || mode == CoordBothRelative};
}

PixelPoint placePoint(DrawContext& c, bool fromPen, float x, float y) {
    if (fromPen) {
        x += c.penX;
        y += c.penY;
    }
    const PixelPoint p{roundCoordinate(x), roundCoordinate(y)};
    c.penX = static_cast<float>(p.x);
    c.penY = static_cast<float>(p.y);
    return p;
}

PixelPoint resolvePoint(DrawContext& c, std::int32_t mode, float x, float y) {
    return placePoint(c, coordinateRules(mode, false).firstFromPen, x, y);
}

PointPair resolvePointPair(DrawContext& c, std::int32_t mode, float x1, float y1, float x2, float y2) {
    const CoordinateRules rules = coordinateRules(mode, true);
    if (rules.firstFromPen) {
        x1 += c.penX;
        y1 += c.penY;
    }
    if (rules.secondFromFirst) {
        x2 += x1;
        y2 += y1;
    }
    const PointPair p{roundCoordinate(x1), roundCoordinate(y1), roundCoordinate(x2), roundCoordinate(y2)};
    c.penX = static_cast<float>(p.x2);
    c.penY = static_cast<float>(p.y2);
    return p;
}

}  // namespace zopp
