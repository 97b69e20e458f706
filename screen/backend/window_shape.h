// Which of its pixels a shaped window shows.
#pragma once

#include <cstdint>
#include <vector>

#include "screen/state/screen_state.h"

namespace zopp {

// Pixels first .. end - 1 of line y.
struct ShapeRun {
    std::int32_t y = 0, first = 0, end = 0;
};

// What a shaped window shows of the visible page, line by line: the runs of pixels whose alpha byte is
// not 0. Screens of fewer than 4 bytes a pixel have no alpha: every pixel shows.
std::vector<ShapeRun> shapeRuns(const ScreenState& screen);

}  // namespace zopp
