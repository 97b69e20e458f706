// The game's sixteen pictures and its icon, painted at their exact sizes.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "tools/canvas.h"

namespace zopp::pictures {

struct Picture {
    std::string fileName;  // inside dat/
    Canvas canvas;
};

// background.bmp, 0.bmp … 6.bmp, scb0/1, lock0/1, button0/1, checkmark0/1, in the game's loading order.
std::vector<Picture> drawPictures();

// The game's icon (a pair of dice) on a transparent square of size × size pixels. The window shows it at
// 32 pixels; desktops pick among the sizes a package installs.
Canvas drawIcon(int size);
inline constexpr std::array<int, 3> kDesktopIconSizes = {32, 48, 256};

// The icon for a browser's installed page: the same drawing on opaque felt, shrunk so that it stays
// inside the circle that every mask shape keeps (80 % of the side across): the drawing's square spans
// kMaskableIconShare of the side, whose corners reach 0.4 of the side from the centre.
Canvas drawMaskableIcon(int size);
inline constexpr double kMaskableIconShare = 0.56;
inline constexpr std::array<int, 2> kWebIconSizes = {192, 512};

// Where the icon of one size lies in an icon theme folder: "<size>x<size>/apps/zopp.png".
std::string desktopIconPath(int size);

}  // namespace zopp::pictures
