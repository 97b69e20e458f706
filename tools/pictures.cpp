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

Canvas drawIcon(int size) {
    Canvas canvas(size, size, paper, false);
    const double s = size / 48.0;
    // The die behind, turned by about 16 degrees (cosine 24/25, sine 7/25).
    paintDie(canvas, {32 * s, 17 * s, 26 * s, 5 * s, 2.6 * s, 0.96, 0.28}, 2);
    canvas.fill(shifted(box(3 * s, 15 * s, 33 * s, 45 * s, 6 * s), 0.8 * s, 1.2 * s), feltShade, 0.5, 1.5);
    paintDie(canvas, {18 * s, 30 * s, 30 * s, 6 * s, 3 * s}, 5);
    // A red middle pip makes the icon the game's own among other dice.
    canvas.fill(circle(18 * s, 30 * s, 3.2 * s), rgb(0xC8231E));
    return canvas;
}

std::string desktopIconPath(int size) {
    const std::string side = std::to_string(size);
    return side + "x" + side + "/apps/zopp.png";
}

}  // namespace zopp::pictures
