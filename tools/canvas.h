// A small floating-point painter for the game's pictures: shapes are signed distance functions in
// pixels, so every edge is anti-aliased by the same rule. Pixel (x, y) covers [x, x+1) × [y, y+1) and
// is sampled at its centre.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace zopp::pictures {

// Channels 0..255 in sRGB; alpha 0..1.
struct Colour {
    double r, g, b;
};
Colour rgb(std::uint32_t rrggbb);
Colour mix(Colour from, Colour to, double t);

// Signed distance from (x, y) to the shape's edge, negative inside.
using Shape = std::function<double(double x, double y)>;
// Colour at (x, y), for gradients.
using Paint = std::function<Colour(double x, double y)>;

Shape box(double x0, double y0, double x1, double y1, double radius);
Shape circle(double cx, double cy, double radius);
Shape segment(double ax, double ay, double bx, double by, double halfWidth);
Shape unite(Shape a, Shape b);
Shape cut(Shape from, Shape hole);
Shape outline(Shape shape, double halfWidth);
Shape shifted(Shape shape, double dx, double dy);
// Rotation about (cx, cy) given by its cosine and sine, so no trigonometry enters the pixels.
Shape turned(Shape shape, double cx, double cy, double cosine, double sine);

class Canvas {
  public:
    // Starts opaque in colour, or fully transparent when opaque is false.
    Canvas(int width, int height, Colour colour, bool opaque = true);

    int width() const { return width_; }
    int height() const { return height_; }

    // Covers the shape with paint at the given opacity. softness widens the edge ramp beyond one
    // pixel, for shadows.
    void fill(const Shape& shape, const Paint& paint, double opacity = 1.0, double softness = 1.0);
    void fill(const Shape& shape, Colour colour, double opacity = 1.0, double softness = 1.0);
    // Pixel art: one string per row, each character looked up in legend ('.' leaves the pixel).
    void stamp(int x, int y, const std::vector<std::string_view>& rows,
               const std::function<Colour(char)>& legend);

    // Quantised pixel as 0xAARRGGBB; 0 when fully transparent.
    std::uint32_t argb(int x, int y) const;

  private:
    struct Pixel {
        Colour colour;
        double alpha;
    };
    void blend(int x, int y, Colour colour, double coverage);

    int width_;
    int height_;
    std::vector<Pixel> pixels_;
};

}  // namespace zopp::pictures
