// The values the layer's operations share: omitted arguments, coordinate modes and the open flags.
#pragma once

#include <cstdint>

namespace zopp {

// An omitted integer argument, and an omitted colour (bit 31 of a flags word).
inline constexpr std::int32_t NO_ARGUMENT = static_cast<std::int32_t>(0xFFFF0000u);
inline constexpr std::int32_t DEFAULT_COLOR = static_cast<std::int32_t>(0x80000000u);

// Coordinate modes of the drawing operations, the low 3 bits of a mode argument. The pen is the last
// point a drawing operation used.
enum CoordinateMode : std::int32_t {
    CoordAbsolute = 0,
    CoordSecondRelative = 1,  // two points: the second relative to the first
    CoordFirstRelative = 2,   // two points: the first relative to the pen
    CoordBothRelative = 3,    // two points: both of the above
    CoordAbsoluteAlt = 4,
    CoordPenRelative = 5,  // the (first) point relative to the pen
};

// Bits of openScreen's flags.
enum ScreenFlag : std::int32_t {
    ScreenFullScreen = 1,
    ScreenOpenGL = 2,
    ScreenNoSwitch = 4,  // no maximise box, no full-screen toggle
    ScreenNoFrame = 8,
    ScreenShaped = 16,         // implies ScreenNoSwitch and ScreenNoFrame
    ScreenAlphaDrawing = 64,   // lines, boxes, text and clearing blend by alpha on 4-byte targets
    ScreenHighPriority = 128,  // refresh loop's thread above normal priority while active
};

}  // namespace zopp
