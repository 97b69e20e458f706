#include "tools/dice.h"

#include <array>
#include <utility>
#include <vector>

#include "tools/palette.h"

namespace zopp::pictures {
namespace {

// Pip positions on the 3×3 grid, columns and rows -1..1.
const std::array<std::vector<std::pair<int, int>>, 7> kPipLayouts = {{
    {},
    {{0, 0}},
    {{1, -1}, {-1, 1}},
    {{1, -1}, {0, 0}, {-1, 1}},
    {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}},
    {{-1, -1}, {1, -1}, {0, 0}, {-1, 1}, {1, 1}},
    {{-1, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {1, 1}},
}};

// Pips sit on a grid a quarter of the edge apart, which leaves a fair margin to the rounded corners.
constexpr double kPipSpacing = 0.255;

}  // namespace

void paintDie(Canvas& canvas, const DiePlacement& die, int face) {
    const double half = die.size / 2;
    const Shape body =
        turned(box(die.cx - half, die.cy - half, die.cx + half, die.cy + half, die.cornerRadius), die.cx,
               die.cy, die.cosine, die.sine);
    const double top = die.cy - half;
    canvas.fill(body, [&](double, double y) { return mix(kIvory, kIvoryShade, (y - top) / die.size); });
    // Rounded edges: light catches the upper left, the lower right turns away.
    canvas.fill(cut(body, shifted(body, 1.0, 1.0)), kPaper, 0.9);
    canvas.fill(cut(body, shifted(body, -1.3, -1.3)), kIvoryShade, 0.9);
    canvas.fill(outline(body, 0.5), kDieEdge, 0.9);
    const double step = die.size * kPipSpacing;
    for (const auto& [column, row] : kPipLayouts[face]) {
        const double gx = column * step, gy = row * step;
        const double px = die.cx + gx * die.cosine + gy * die.sine;
        const double py = die.cy - gx * die.sine + gy * die.cosine;
        canvas.fill(circle(px, py, die.pipRadius), kPip);
        // A pip is a dent: its lower right wall catches a little light.
        canvas.fill(cut(circle(px, py, die.pipRadius), circle(px - 0.7, py - 0.7, die.pipRadius)),
                    rgb(0x8A8A90), 0.8);
    }
}

Canvas drawDieFace(int face) {
    Canvas canvas(50, 50, kFelt);
    const Shape body = box(2, 2, 47, 47, 9);
    if (face == 0) {
        canvas.fill(body, mix(kFelt, kFeltShade, 0.22));
        canvas.fill(cut(body, shifted(body, 3, 3)), kFeltShade, 0.45, 2.0);
        canvas.fill(cut(body, shifted(body, -1.5, -1.5)), rgb(0xE6F0E2), 0.7);
        return canvas;
    }
    canvas.fill(shifted(body, 1.5, 2.5), kFeltShade, 0.4, 2.5);
    paintDie(canvas, {24.5, 24.5, 45, 9, 4.4}, face);
    return canvas;
}

}  // namespace zopp::pictures
