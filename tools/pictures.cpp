#include "tools/pictures.h"

#include "tools/board_pictures.h"
#include "tools/dice.h"
#include "tools/palette.h"

namespace zopp::pictures {

std::vector<Picture> drawPictures() {
    std::vector<Picture> all;
    all.push_back({"background.bmp", drawBackground()});
    for (int face = 0; face <= 6; ++face) {
        all.push_back({std::to_string(face) + ".bmp", drawDieFace(face)});
    }
    all.push_back({"scb0.bmp", drawScoreCell(false)});
    all.push_back({"scb1.bmp", drawScoreCell(true)});
    all.push_back({"lock0.bmp", drawLock(false)});
    all.push_back({"lock1.bmp", drawLock(true)});
    all.push_back({"button0.bmp", drawButton(0)});
    all.push_back({"button1.bmp", drawButton(1)});
    all.push_back({"checkmark0.bmp", drawCheckmark(false)});
    all.push_back({"checkmark1.bmp", drawCheckmark(true)});
    return all;
}

namespace {

// The icon's drawing on a square of `side` pixels whose top left corner is at (left, top).
void paintIcon(Canvas& canvas, double left, double top, double side) {
    const double s = side / 48.0;
    const auto x = [&](double at) { return left + at * s; };
    const auto y = [&](double at) { return top + at * s; };
    // The die behind, turned by about 16 degrees (cosine 24/25, sine 7/25).
    paintDie(canvas, {x(32), y(17), 26 * s, 5 * s, 2.6 * s, 0.96, 0.28}, 2);
    canvas.fill(shifted(box(x(3), y(15), x(33), y(45), 6 * s), 0.8 * s, 1.2 * s), kFeltShade, 0.5, 1.5);
    paintDie(canvas, {x(18), y(30), 30 * s, 6 * s, 3 * s}, 5);
    // A red middle pip makes the icon the game's own among other dice.
    canvas.fill(circle(x(18), y(30), 3.2 * s), rgb(0xC8231E));
}

}  // namespace

Canvas drawIcon(int size) {
    Canvas canvas(size, size, kPaper, false);
    paintIcon(canvas, 0, 0, size);
    return canvas;
}

Canvas drawMaskableIcon(int size) {
    Canvas canvas(size, size, kFelt);
    const double side = kMaskableIconShare * size;
    paintIcon(canvas, (size - side) / 2, (size - side) / 2, side);
    return canvas;
}

std::string desktopIconPath(int size) {
    const std::string side = std::to_string(size);
    return side + "x" + side + "/apps/zopp.png";
}

}  // namespace zopp::pictures
