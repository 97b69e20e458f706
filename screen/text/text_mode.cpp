// The text-mode operations in their graphics form: the text grid, the colours and clearing, and the
// graphics and text views.
#include <algorithm>

#include "frame/runtime.h"
#include "screen/drawing/draw_context.h"
#include "screen/state/colour.h"
#include "screen/state/screen_state.h"
#include "screen/text/font.h"
#include "screen/text/text_mode.h"

namespace zopp {

namespace {

void fillRect(DrawContext& context, const Rect& area, std::uint32_t colour) {
    for (std::int32_t y = area.y; y < area.y + area.height; ++y)
        context.fillRun(area.x, y, area.width, colour);
}

void clearTextRows(TextGrid& grid, DrawContext& context, std::int32_t top, std::int32_t bottom) {
    const TextCell blank{' ', static_cast<std::uint8_t>(context.foreground & 0xFF)};
    for (std::int32_t row = top; row <= bottom; ++row) {
        auto first = grid.cells.begin() + static_cast<std::ptrdiff_t>(row - 1) * grid.columns;
        std::fill(first, first + grid.columns, blank);
    }
}

// A blank grid of columns × rows, the text view over all of it with the cursor at home; no graphics view.
void resetGrid(TextGrid& grid, std::int32_t columns, std::int32_t rows) {
    grid.columns = columns;
    grid.rows = rows;
    grid.cells.assign(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows), TextCell{});
    grid.viewTop = 1;
    grid.viewBottom = rows;
    grid.cursorColumn = 1;
    grid.cursorRow = 1;
    grid.graphicsViewSet = false;
}

// The graphics view over the whole screen again.
void resetScreenView(const ScreenState& screen, DrawContext& context) {
    context.screenView = Rect{0, 0, screen.width, screen.height};
    if (context.targetIsScreen) context.clip = context.screenView;
}

TextGrid openGrid;

}  // namespace

TextGrid* textGrid() {
    const ScreenState* screen = currentScreen();
    if (!screen) return nullptr;
    if (openGrid.screenId != screen->id) {
        openGrid.screenId = screen->id;
        openGrid.font = builtinFont(8);
        resetGrid(openGrid, screen->width / 8, screen->height / 8);
    }
    return &openGrid;
}

std::int32_t setTextGrid(std::int32_t columns, std::int32_t rows) {
    ScreenState* screen = currentScreen();
    if (!screen) return storeErrorNumber(IllegalFunctionCall);
    TextGrid& grid = *textGrid();
    setErrorNumber(0);  // a query's grid is no error number
    const std::int32_t previousColumns = grid.columns;
    const std::int32_t previousRows = grid.rows;
    // An omitted side keeps the current cell, which is the current font's (a screen narrower or lower than
    // one cell has an empty grid, so the cell can't be derived from the grid).
    const std::int32_t cellWidth = columns > 0 ? screen->width / columns : grid.font->width;
    const std::int32_t cellHeight = rows > 0 ? screen->height / rows : grid.font->height;

    const bool accepted = cellWidth == 8 && (cellHeight == 8 || cellHeight == 14 || cellHeight == 16);
    if (accepted) {
        grid.font = builtinFont(cellHeight);
        resetGrid(grid, columns > 0 ? columns : screen->width / cellWidth,
                  rows > 0 ? rows : screen->height / cellHeight);
        // The screen's view, not yet the clip of a drawing already aimed at the screen.
        if (DrawContext* context = drawContext())
            context->screenView = Rect{0, 0, screen->width, screen->height};
        clearScreen(0);
    }
    if (columns > 0 || rows > 0) return 0;
    return static_cast<std::int32_t>((static_cast<std::uint32_t>(previousColumns) & 0xFFFF) |
                                     (static_cast<std::uint32_t>(previousRows) << 16));
}

std::uint32_t setColors(std::uint32_t foreground, std::uint32_t background, std::int32_t which) {
    DrawContext* context = drawContext();
    if (!context) return 0;
    const std::uint32_t previous = context->foreground;
    const std::int32_t bpp = currentScreen()->bytesPerPixel;
    if (!(which & 1)) context->foreground = convertColour(foreground, bpp);
    if (!(which & 2)) context->background = convertColour(background, bpp);
    return previous;
}

void clearScreen(std::int32_t mode) {
    ScreenState* screen = currentScreen();
    DrawContext* context = drawContext();
    if (!screen || !context) return;
    TextGrid& grid = *textGrid();
    const Rect view = context->screenView;
    if (mode == NO_ARGUMENT) {
        if (grid.graphicsViewSet) {
            mode = 1;
        } else {
            mode = (grid.viewTop == 1 && grid.viewBottom == grid.rows) ? 0 : 2;
        }
    }
    // Clearing always works on the screen's work page; the drawing target stays what it was.
    DrawContext screenTarget = *context;
    selectTarget(screenTarget, kScreen);
    ScreenLock lock;
    switch (mode) {
        case 0: {
            fillRect(screenTarget, Rect{0, 0, screen->width, screen->height}, context->background);
            if (screen->workIsVisible()) markAllDirty(*screen);
            // The centre in whole pixels: an odd view's half is rounded down.
            const std::int32_t centreX = view.x + view.width / 2;
            const std::int32_t centreY = view.y + view.height / 2;
            context->penX = static_cast<float>(centreX);
            context->penY = static_cast<float>(centreY);
            clearTextRows(grid, *context, 1, grid.rows);
            grid.cursorColumn = 1;
            grid.cursorRow = 1;
            break;
        }
        case 1:
            fillRect(screenTarget, view, context->background);
            if (screen->workIsVisible()) markDirty(*screen, view.y, view.y + view.height - 1);
            break;
        case 2: {
            clearTextRows(grid, *context, grid.viewTop, grid.viewBottom);
            const std::int32_t cell = grid.font ? grid.font->height : 8;
            const Rect rows{0, (grid.viewTop - 1) * cell, screen->width,
                            (grid.viewBottom - grid.viewTop + 1) * cell};
            fillRect(screenTarget, rows, context->background);
            if (screen->workIsVisible()) markDirty(*screen, rows.y, rows.y + rows.height - 1);
            grid.cursorColumn = 1;
            grid.cursorRow = grid.viewTop;
            break;
        }
        default:
            break;
    }
}

void setGraphicsView(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    ScreenState* screen = currentScreen();
    if (!screen) return;
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    x1 = std::clamp(x1, 0, screen->width - 1);
    x2 = std::clamp(x2, 0, screen->width - 1);
    y1 = std::clamp(y1, 0, screen->height - 1);
    y2 = std::clamp(y2, 0, screen->height - 1);
    DrawContext* context = drawContext();
    context->screenView = Rect{x1, y1, x2 - x1 + 1, y2 - y1 + 1};
    if (context->targetIsScreen) context->clip = context->screenView;
    textGrid()->graphicsViewSet = true;
}

void resetGraphicsView() {
    ScreenState* screen = currentScreen();
    if (!screen) return;
    resetScreenView(*screen, *drawContext());
    textGrid()->graphicsViewSet = false;
}

void setTextView(std::int32_t topRow, std::int32_t bottomRow) {
    TextGrid* grid = textGrid();
    if (!grid || topRow < 1 || bottomRow > grid->rows || topRow > bottomRow) return;
    grid->viewTop = topRow;
    grid->viewBottom = bottomRow;
    grid->cursorColumn = 1;
    grid->cursorRow = topRow;
}

}  // namespace zopp
