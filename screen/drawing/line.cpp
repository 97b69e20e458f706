#include "screen/drawing/line.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "screen/drawing/draw_context.h"
#include "screen/drawing/geometry.h"
#include "screen/state/colour.h"
#include "screen/state/screen_state.h"

namespace zopp {

namespace {

constexpr std::uint32_t kSolid = 0xFFFF;

// The 16-bit style pattern: the mask starts at bit 15 and moves right one bit per position, drawn or not.
class Pattern {
  public:
    explicit Pattern(std::uint32_t style) : style_(style & kSolid) {}
    bool solid() const { return style_ == kSolid; }
    bool next() {
        const bool on = (style_ & mask_) != 0;
        mask_ = mask_ == 1 ? 0x8000u : mask_ >> 1;
        return on;
    }

  private:
    std::uint32_t style_;
    std::uint32_t mask_ = 0x8000u;
};

struct Point {
    std::int64_t x, y;
};

enum Outcode : unsigned { Inside = 0, Left = 1, Right = 2, Top = 4, Bottom = 8 };

unsigned outcode(Point p, const Rect& clip) {
    unsigned code = Inside;
    if (p.x < clip.x)
        code |= Left;
    else if (p.x >= std::int64_t(clip.x) + clip.width)
        code |= Right;
    if (p.y < clip.y)
        code |= Top;
    else if (p.y >= std::int64_t(clip.y) + clip.height)
        code |= Bottom;
    return code;
}

// Moves outside end points onto the crossed clip edge along the line; false when nothing is left.
bool clipSegment(Point& a, Point& b, const Rect& clip) {
    const Point from = a, to = b;
    const std::int64_t right = std::int64_t(clip.x) + clip.width - 1,
                       bottom = std::int64_t(clip.y) + clip.height - 1;
    // Each pass puts one end point on an edge; a few passes always settle it.
    for (int pass = 0; pass < 8; ++pass) {
        const unsigned ca = outcode(a, clip), cb = outcode(b, clip);
        if ((ca | cb) == Inside) return true;
        if (ca & cb) return false;
        Point& p = ca ? a : b;
        const unsigned code = ca ? ca : cb;
        const double dx = double(to.x - from.x), dy = double(to.y - from.y);
        if (code & (Top | Bottom)) {
            const std::int64_t y = (code & Top) ? clip.y : bottom;
            p = {from.x + std::llround(dx * double(y - from.y) / dy), y};
        } else {
            const std::int64_t x = (code & Left) ? clip.x : right;
            p = {x, from.y + std::llround(dy * double(x - from.x) / dx)};
        }
    }
    return false;
}

// Draws a..b, already clipped: the pattern starts at a, the first point drawn, not at the line's start.
void drawSegment(const DrawContext& c, Point a, Point b, std::uint32_t colour, std::uint32_t style) {
    const bool xMajor = std::llabs(b.x - a.x) >= std::llabs(b.y - a.y);
    Pattern pattern(style);

    if (a.y == b.y && pattern.solid()) {
        c.fillRun(static_cast<std::int32_t>(std::min(a.x, b.x)), static_cast<std::int32_t>(a.y),
                  static_cast<std::int32_t>(std::llabs(b.x - a.x) + 1), colour);
        return;
    }
    const std::int64_t dx = std::llabs(b.x - a.x), dy = std::llabs(b.y - a.y);
    const std::int64_t sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
    const std::int64_t steps = std::max(dx, dy);
    std::int64_t error = (xMajor ? dx : dy) / 2;
    Point p = a;
    for (std::int64_t i = 0; i <= steps; ++i) {
        if (pattern.next())
            c.setPixel(static_cast<std::int32_t>(p.x), static_cast<std::int32_t>(p.y), colour);
        if (xMajor) {
            p.x += sx;
            error -= dy;
            if (error < 0) {
                p.y += sy;
                error += dx;
            }
        } else {
            p.y += sy;
            error -= dx;
            if (error < 0) {
                p.x += sx;
                error += dy;
            }
        }
    }
}

bool inRange(std::int32_t v, std::int32_t start, std::int32_t length) {
    return v >= start && std::int64_t(v) < std::int64_t(start) + length;
}

// The outline of the clamped box, clockwise from its top-left corner so a pattern runs round it. An edge
// whose own row or column lies outside the clip rectangle is hidden; a corner belongs to both of its
// edges, so it shows when either does. Hidden positions still advance the pattern.
void drawOutline(const DrawContext& c, const Rect& clip, const PointPair& box, const PointPair& clamped,
                 std::uint32_t colour, std::uint32_t style) {
    Pattern pattern(style);
    const bool top = inRange(box.y1, clip.y, clip.height), bottom = inRange(box.y2, clip.y, clip.height);
    const bool left = inRange(box.x1, clip.x, clip.width), right = inRange(box.x2, clip.x, clip.width);
    const std::int32_t x1 = clamped.x1, y1 = clamped.y1, x2 = clamped.x2, y2 = clamped.y2;
    auto plot = [&](std::int32_t x, std::int32_t y) {
        const bool shown = (top && y == y1) || (bottom && y == y2) || (left && x == x1) || (right && x == x2);
        if (pattern.next() && shown) c.setPixel(x, y, colour);
    };
    for (std::int32_t x = x1; x <= x2; ++x)
        plot(x, y1);
    for (std::int32_t y = y1 + 1; y <= y2; ++y)
        plot(x2, y);
    if (y2 > y1) {
        for (std::int32_t x = x2 - 1; x >= x1; --x)
            plot(x, y2);
    }
    if (x2 > x1) {
        for (std::int32_t y = y2 - 1; y > y1; --y)
            plot(x1, y);
    }
}

}  // namespace

void drawLine(ImageBytes target, float x1, float y1, float x2, float y2, std::uint32_t colour,
              std::int32_t kind, std::uint32_t style, std::int32_t flags) {
    DrawContext* context = drawContext();
    if (!context || !selectTarget(*context, target)) return;
    ScreenState& screen = *currentScreen();
    const std::uint32_t pixel =
        (flags & DEFAULT_COLOR) ? context->foreground : convertColour(colour, context->bytesPerPixel);
    PointPair p = resolvePointPair(*context, flags, x1, y1, x2, y2);
    const Rect clip = targetClip(*context);
    if (clip.width <= 0 || clip.height <= 0) return;

    // Clipping happens before the lock; the lock covers only the pixel writes and the dirty lines.
    if (kind == LineBox || kind == LineFilledBox) {
        if (p.x1 > p.x2) std::swap(p.x1, p.x2);
        if (p.y1 > p.y2) std::swap(p.y1, p.y2);
        const auto area = clipCorners(clip, p.x1, p.y1, p.x2, p.y2);
        if (!area) return;
        const ScreenLock lock;
        if (kind == LineFilledBox) {
            const std::int32_t width = area->x2 - area->x1 + 1;
            for (std::int32_t y = area->y1; y <= area->y2; ++y)
                context->fillRun(area->x1, y, width, pixel);
        } else {
            drawOutline(*context, clip, p, *area, pixel, style);
        }
        if (context->targetIsVisible(screen)) markDirty(screen, area->y1, area->y2);
    } else if (kind == LineSegment) {
        Point a{p.x1, p.y1}, b{p.x2, p.y2};
        if (!clipSegment(a, b, clip)) return;
        const ScreenLock lock;
        drawSegment(*context, a, b, pixel, style);
        if (context->targetIsVisible(screen)) {
            markDirty(screen, static_cast<std::int32_t>(std::min(a.y, b.y)),
                      static_cast<std::int32_t>(std::max(a.y, b.y)));
        }
    }
}

}  // namespace zopp
