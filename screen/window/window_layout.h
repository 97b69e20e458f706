// Where a back-end puts its window, and which of its pixels a shaped window shows.
#pragma once

#include <cstdint>
#include <vector>

#include "screen/state/screen_state.h"

namespace zopp {

struct WindowPosition {
    std::int32_t x = 0, y = 0;
};

// The outer window's top left corner, relative to the desktop's, for a window centred by its outer size
// (frame and caption included): half the free space on each side, halved by an arithmetic shift, so a
// window larger than the desktop sticks out on both sides.
WindowPosition centredOnDesktop(std::int32_t desktopWidth, std::int32_t desktopHeight,
                                std::int32_t outerWidth, std::int32_t outerHeight);

// Pixels first .. end - 1 of line y.
struct ShapeRun {
    std::int32_t y = 0, first = 0, end = 0;
};

// What a shaped window shows of the visible page, line by line: the runs of pixels whose alpha byte is
// not 0. Screens of fewer than 4 bytes a pixel have no alpha: every pixel shows.
std::vector<ShapeRun> shapeRuns(const ScreenState& screen);

}  // namespace zopp
