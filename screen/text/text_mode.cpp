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

void clearTextRows(ScreenState& screen, DrawContext& context, std::int32_t top, std::int32_t bottom) {
    const TextCell blank{' ', static_cast<std::uint8_t>(context.foreground & 0xFF)};
    for (std::int32_t row = top; row <= bottom; ++row) {
        auto first = screen.textBuffer.begin() + static_cast<std::ptrdiff_t>(row - 1) * screen.textColumns;
        std::fill(first, first + screen.textColumns, blank);
    }
}

}  // namespace

void resetTextState(ScreenState& screen, std::int32_t columns, std::int32_t rows) {
    screen.textColumns = columns;
    screen.textRows = rows;
    screen.textBuffer.assign(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows), TextCell{});
    screen.textViewTop = 1;
    screen.textViewBottom = rows;
    screen.cursorColumn = 1;
    screen.cursorRow = 1;
    screen.view = Rect{0, 0, screen.width, screen.height};
    screen.graphicsViewSet = false;
}

std::int32_t setTextGrid(std::int32_t columns, std::int32_t rows) {
    ScreenState* screen = currentScreen();
    if (!screen) return storeErrorNumber(IllegalFunctionCall);
    setErrorNumber(0);  // a query's grid is no error number
    const std::int32_t previousColumns = screen->textColumns;
    const std::int32_t previousRows = screen->textRows;
    // An omitted side keeps the current cell, which is the current font's (a screen narrower or lower than
    // one cell has an empty grid, so the cell can't be derived from the grid).
    const std::int32_t cellWidth = columns > 0 ? screen->width / columns : screen->font->width;
    const std::int32_t cellHeight = rows > 0 ? screen->height / rows : screen->font->height;

    const bool accepted = cellWidth == 8 && (cellHeight == 8 || cellHeight == 14 || cellHeight == 16);
    if (accepted) {
        screen->font = builtinFont(cellHeight);
        resetTextState(*screen, columns > 0 ? columns : screen->width / cellWidth,
                       rows > 0 ? rows : screen->height / cellHeight);
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
    if (mode == NO_ARGUMENT) {
        if (screen->graphicsViewSet) {
            mode = 1;
        } else {
            mode = (screen->textViewTop == 1 && screen->textViewBottom == screen->textRows) ? 0 : 2;
        }
    }
    // Clearing always works on the screen's work page; the drawing target stays what it was.
    DrawContext screenTarget = *context;
    selectTarget(screenTarget, SCREEN);
    ScreenLock lock;
    switch (mode) {
        case 0: {
            fillRect(screenTarget, Rect{0, 0, screen->width, screen->height}, context->background);
            if (screen->workIsVisible()) markAllDirty(*screen);
            // The centre in whole pixels: an odd view's half is rounded down.
            const std::int32_t centreX = screen->view.x + screen->view.width / 2;
            const std::int32_t centreY = screen->view.y + screen->view.height / 2;
            context->penX = static_cast<float>(centreX);
            context->penY = static_cast<float>(centreY);
            clearTextRows(*screen, *context, 1, screen->textRows);
            screen->cursorColumn = 1;
            screen->cursorRow = 1;
            break;
        }
        case 1:
            fillRect(screenTarget, screen->view, context->background);
            if (screen->workIsVisible())
                markDirty(*screen, screen->view.y, screen->view.y + screen->view.height - 1);
            break;
        case 2: {
            clearTextRows(*screen, *context, screen->textViewTop, screen->textViewBottom);
            const std::int32_t cell = screen->font ? screen->font->height : 8;
            const Rect rows{0, (screen->textViewTop - 1) * cell, screen->width,
                            (screen->textViewBottom - screen->textViewTop + 1) * cell};
            fillRect(screenTarget, rows, context->background);
            if (screen->workIsVisible()) markDirty(*screen, rows.y, rows.y + rows.height - 1);
            screen->cursorColumn = 1;
            screen->cursorRow = screen->textViewTop;
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
    screen->view = Rect{x1, y1, x2 - x1 + 1, y2 - y1 + 1};
    screen->graphicsViewSet = true;
    if (DrawContext* context = drawContext(); context && context->targetIsScreen)
        context->clip = screen->view;
}

void resetGraphicsView() {
    ScreenState* screen = currentScreen();
    if (!screen) return;
    screen->view = Rect{0, 0, screen->width, screen->height};
    screen->graphicsViewSet = false;
    if (DrawContext* context = drawContext(); context && context->targetIsScreen)
        context->clip = screen->view;
}

void setTextView(std::int32_t topRow, std::int32_t bottomRow) {
    ScreenState* screen = currentScreen();
    if (!screen || topRow < 1 || bottomRow > screen->textRows || topRow > bottomRow) return;
    screen->textViewTop = topRow;
    screen->textViewBottom = bottomRow;
    screen->cursorColumn = 1;
    screen->cursorRow = topRow;
}

}  // namespace zopp
