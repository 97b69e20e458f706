#include "tools/board_pictures.h"
#include "tools/palette.h"

namespace zopp::pictures {
namespace {

// "ZOPP" in strokes, left edge x, top y, letters 9 wide and 12 high.
Shape logo(double x, double y) {
    constexpr double w = 1.2, advance = 13;
    const Shape z = unite(unite(segment(x, y, x + 9, y, w), segment(x + 9, y, x, y + 12, w)),
                          segment(x, y + 12, x + 9, y + 12, w));
    const double ox = x + advance;
    const Shape o = outline(box(ox, y, ox + 9, y + 12, 4), w);
    const auto p = [&](double px) {
        return unite(segment(px, y, px, y + 12, w), outline(box(px - 1, y, px + 9, y + 7, 3.2), w));
    };
    return unite(unite(z, o), unite(p(x + 2 * advance), p(x + 3 * advance)));
}

}  // namespace

Canvas drawBackground() {
    Canvas canvas(640, 480, kFelt);
    // The same felt lies behind the setup screen and the board, so nothing here may follow the board's
    // cells; only the table's edge, well outside every text, and a small title.
    canvas.fill(outline(box(4, 4, 636, 476, 12), 0.8), kFeltShade, 0.35);
    // The title sits where the label column has no header cell; pressed into the felt.
    const Shape title = logo(98, 9);
    canvas.fill(shifted(title, 0.8, 0.8), rgb(0xE6F0E2), 0.8);
    canvas.fill(title, kFeltShade, 0.85);
    return canvas;
}

}  // namespace zopp::pictures
