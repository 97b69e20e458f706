#include "tools/canvas.h"

#include <algorithm>
#include <cmath>

namespace zopp::pictures {

Colour rgb(std::uint32_t rrggbb) {
    return {static_cast<double>((rrggbb >> 16) & 0xFF), static_cast<double>((rrggbb >> 8) & 0xFF),
            static_cast<double>(rrggbb & 0xFF)};
}

Colour mix(Colour from, Colour to, double t) {
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t};
}

Shape box(double x0, double y0, double x1, double y1, double radius) {
    const double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    const double hx = (x1 - x0) / 2 - radius, hy = (y1 - y0) / 2 - radius;
    return [=](double x, double y) {
        const double qx = std::abs(x - cx) - hx, qy = std::abs(y - cy) - hy;
        const double ox = std::max(qx, 0.0), oy = std::max(qy, 0.0);
        return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0) - radius;
    };
}

Shape circle(double cx, double cy, double radius) {
    return [=](double x, double y) { return std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy)) - radius; };
}

Shape segment(double ax, double ay, double bx, double by, double halfWidth) {
    return [=](double x, double y) {
        const double px = x - ax, py = y - ay, dx = bx - ax, dy = by - ay;
        const double t = std::clamp((px * dx + py * dy) / (dx * dx + dy * dy), 0.0, 1.0);
        const double ex = px - dx * t, ey = py - dy * t;
        return std::sqrt(ex * ex + ey * ey) - halfWidth;
    };
}

Shape unite(Shape a, Shape b) {
    return [a = std::move(a), b = std::move(b)](double x, double y) { return std::min(a(x, y), b(x, y)); };
}

Shape cut(Shape from, Shape hole) {
    return [from = std::move(from), hole = std::move(hole)](double x, double y) {
        return std::max(from(x, y), -hole(x, y));
    };
}

Shape outline(Shape shape, double halfWidth) {
    return [shape = std::move(shape), halfWidth](double x, double y) {
        return std::abs(shape(x, y)) - halfWidth;
    };
}

Shape shifted(Shape shape, double dx, double dy) {
    return [shape = std::move(shape), dx, dy](double x, double y) { return shape(x - dx, y - dy); };
}

Shape turned(Shape shape, double cx, double cy, double cosine, double sine) {
    return [=, shape = std::move(shape)](double x, double y) {
        const double px = x - cx, py = y - cy;
        return shape(cx + px * cosine + py * sine, cy - px * sine + py * cosine);
    };
}

Canvas::Canvas(int width, int height, Colour colour, bool opaque)
    : width_(width),
      height_(height),
      pixels_(static_cast<std::size_t>(width) * height, {colour, opaque ? 1.0 : 0.0}) {}

void Canvas::blend(int x, int y, Colour colour, double coverage) {
    Pixel& p = pixels_[static_cast<std::size_t>(y) * width_ + x];
    const double alpha = coverage + p.alpha * (1 - coverage);
    if (alpha <= 0) {
        return;
    }
    // Weighted by alpha so that painting on transparent pixels keeps the painted colour at the edges.
    const double keep = p.alpha * (1 - coverage);
    p.colour = {(colour.r * coverage + p.colour.r * keep) / alpha,
                (colour.g * coverage + p.colour.g * keep) / alpha,
                (colour.b * coverage + p.colour.b * keep) / alpha};
    p.alpha = alpha;
}

void Canvas::fill(const Shape& shape, const Paint& paint, double opacity, double softness) {
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const double cx = x + 0.5, cy = y + 0.5;
            const double coverage = std::clamp(0.5 - shape(cx, cy) / softness, 0.0, 1.0);
            if (coverage > 0) {
                blend(x, y, paint(cx, cy), coverage * opacity);
            }
        }
    }
}

void Canvas::fill(const Shape& shape, Colour colour, double opacity, double softness) {
    fill(
        shape, [colour](double, double) { return colour; }, opacity, softness);
}

void Canvas::stamp(int x, int y, const std::vector<std::string_view>& rows,
                   const std::function<Colour(char)>& legend) {
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (std::size_t column = 0; column < rows[row].size(); ++column) {
            const int px = x + static_cast<int>(column), py = y + static_cast<int>(row);
            if (rows[row][column] == '.' || px < 0 || py < 0 || px >= width_ || py >= height_) {
                continue;
            }
            blend(px, py, legend(rows[row][column]), 1.0);
        }
    }
}

std::uint32_t Canvas::argb(int x, int y) const {
    const Pixel& p = pixels_[static_cast<std::size_t>(y) * width_ + x];
    const auto level = [](double v) {
        return static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0, 255.0)));
    };
    const std::uint32_t alpha = level(p.alpha * 255);
    if (alpha == 0) {
        return 0;  // one value for "nothing here", whatever colour was painted at no opacity
    }
    return alpha << 24 | level(p.colour.r) << 16 | level(p.colour.g) << 8 | level(p.colour.b);
}

}  // namespace zopp::pictures
