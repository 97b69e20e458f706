// The text grid of the open screen, its colours, clearing, and the graphics and text views. Every operation
// is called from the program's thread.
#pragma once

#include <cstdint>
#include <vector>

#include "screen/state/screen_values.h"

namespace zopp {

struct FontTable;

struct TextCell {
    std::uint8_t character = ' ';
    std::uint8_t colour = 0;
};

// The open screen's text grid: its font, characters, text view and cursor, and whether a graphics view
// was set. A newly opened screen starts with 8×8 cells over the whole screen.
struct TextGrid {
    std::int32_t screenId = -1;  // the screen this grid was reset for
    std::int32_t columns = 0, rows = 0;
    const FontTable* font = nullptr;
    // The characters and the cursor, for text printing (which this program never calls).
    std::vector<TextCell> cells;
    std::int32_t viewTop = 1, viewBottom = 0;  // 1-based rows, inclusive
    std::int32_t cursorColumn = 1, cursorRow = 1;
    bool graphicsViewSet = false;
};

// The open screen's grid; null without a screen.
TextGrid* textGrid();

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
