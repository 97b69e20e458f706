// The screen: one window with a frame buffer behind it, refreshed by the layer's own thread.
// Every operation is called from the program's thread.
#pragma once

#include <cstdint>
#include <string_view>

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
    ScreenHighPriority = 128,  // refresh thread above normal priority while active
};

// Keeps at most 127 characters; survives opens and closes. Changes the caption of an open window.
void setWindowTitle(std::string_view title);
std::string_view windowTitle();

// Opens (or re-opens) the screen. Depth 15 becomes 16 and 24 becomes 32. Returns 0, or 1 when the
// arguments are rejected or no back-end could start.
std::int32_t openScreen(std::int32_t width, std::int32_t height, std::int32_t depth, std::int32_t pageCount,
                        std::int32_t flags, std::int32_t refreshRate);
// Closes the window and releases the screen; nothing happens when none is open. Never call it on the
// refresh thread.
void closeScreen();
bool screenIsOpen();

// Cell size = screen size / grid; only 8×8, 8×14 and 8×16 cells are accepted (picking that font and
// clearing the screen). Returns 0, or for a query (both ≤ 0) the grid: columns low 16 bits, rows high.
std::int32_t setTextGrid(std::int32_t columns, std::int32_t rows);

// Bit 0 of which keeps the foreground, bit 1 the background. Returns the previous foreground colour.
std::uint32_t setColors(std::uint32_t foreground, std::uint32_t background, std::int32_t which);

// Mode 0 whole page and text, 1 graphics view, 2 text view, NO_ARGUMENT picks one from the views.
void clearScreen(std::int32_t mode);

// The graphics view (clip rectangle of screen drawing), corners inclusive; and the text view's rows
// (1-based, inclusive). Defaults: the whole screen and the whole grid.
void setGraphicsView(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
void resetGraphicsView();
void setTextView(std::int32_t topRow, std::int32_t bottomRow);

}  // namespace zopp
