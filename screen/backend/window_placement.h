// Where a back-end puts its window on the desktop.
#pragma once

#include <cstdint>

namespace zopp {

struct WindowPosition {
    std::int32_t x = 0, y = 0;
};

// The outer window's top left corner, relative to the desktop's, for a window centred by its outer size
// (frame and caption included): half the free space on each side, halved by an arithmetic shift, so a
// window larger than the desktop sticks out on both sides.
WindowPosition centredOnDesktop(std::int32_t desktopWidth, std::int32_t desktopHeight,
                                std::int32_t outerWidth, std::int32_t outerHeight);

}  // namespace zopp
