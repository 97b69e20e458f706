#include "screen/screen.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <new>
#include <string>

#include "frame/events.h"
#include "frame/runtime.h"
#include "frame/timing.h"
#include "screen/backend.h"
#include "screen/colour.h"
#include "screen/draw_context.h"
#include "screen/input.h"
#include "screen/row_copy.h"
#include "screen/screen_state.h"

namespace zopp {

namespace {

std::unique_ptr<ScreenState> openState;
std::int32_t screenIdCounter = 0;
bool exitHookRegistered = false;
std::array<char, 128> titleBuffer{};  // at most 127 characters and the terminator
bool titleEverSet = false;

std::int32_t normaliseDepth(std::int32_t depth) {
    switch (depth) {
        case 1:
        case 2:
        case 4:
        case 8:
        case 16:
        case 32:
            return depth;
        case 15:
            return 16;
        case 24:
            return 32;
        default:
            return 0;
    }
}

std::uint32_t colourMaskFor(std::int32_t depth) {
    if (depth == 32) return 0xFFFFFFFFu;
    if (depth == 16) return 0xFFFFu;
    return (1u << depth) - 1u;
}

// The program's own file name without folder and cut at its last '.'.
void useProgramNameAsTitle() {
    std::string name = runtimeArgumentCount() > 0 && runtimeArguments()[0] ? runtimeArguments()[0] : "";
    if (const auto slash = name.find_last_of("/\\"); slash != std::string::npos) name.erase(0, slash + 1);
    if (const auto dot = name.rfind('.'); dot != std::string::npos) name.erase(dot);
    setWindowTitle(name);
    titleEverSet = false;
}

void loadDefaultPalette(ScreenState& screen) {
    screen.palette.fill(0);
    if (screen.depth > 8) return;
    // Depth 2 takes the first four text-mode colours.
    const std::int32_t entries = screen.depth == 1 ? 2 : screen.depth == 8 ? 256 : 16;
    const auto rgb = defaultPalette(entries);
    const auto available = static_cast<std::int32_t>(rgb.size() / 3);
    const std::int32_t used = std::min({entries, 1 << screen.depth, available});
    for (std::int32_t i = 0; i < used; ++i) {
        const auto* c = &rgb[static_cast<std::size_t>(i) * 3];
        screen.palette[static_cast<std::size_t>(i)] =
            (std::uint32_t{c[0]} << 16) | (std::uint32_t{c[1]} << 8) | c[2];
    }
}

void fillPage(ScreenState& screen, std::vector<std::uint8_t>& page, std::uint32_t colour) {
    const std::int32_t bpp = screen.bytesPerPixel;
    const std::size_t pixels = page.size() / static_cast<std::size_t>(bpp);
    if (bpp == 1) {
        std::memset(page.data(), static_cast<int>(colour & 0xFF), page.size());
        return;
    }
    for (std::size_t i = 0; i < pixels; ++i)
        std::memcpy(&page[i * static_cast<std::size_t>(bpp)], &colour, static_cast<std::size_t>(bpp));
}

void closeScreenAtExit() {
    closeScreen();
}

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

std::unique_ptr<ScreenState> makeScreenState(std::int32_t width, std::int32_t height, std::int32_t depth,
                                             std::int32_t pageCount, std::int32_t flags) {
    auto screen = std::make_unique<ScreenState>();
    screen->id = ++screenIdCounter;
    screen->width = width;
    screen->height = height;
    screen->depth = depth;
    screen->bytesPerPixel = (depth + 7) / 8;
    screen->pitch = screen->bytesPerPixel * width;
    screen->colourMask = colourMaskFor(depth);
    screen->aspect = 1.0f;
    const auto pageBytes = static_cast<std::size_t>(screen->pitch) * static_cast<std::size_t>(height);
    // Each page allocated in place: a temporary page to copy from would leave the allocator holding a
    // page-sized block for the rest of the run.
    screen->pages.resize(static_cast<std::size_t>(pageCount));
    for (auto& page : screen->pages)
        page.resize(pageBytes);
    screen->dirty.assign(static_cast<std::size_t>(height), 0);
    screen->flags = static_cast<std::uint32_t>(flags) | (cpuHasFastCopy() ? ScreenHasFastCopy : 0u);
    loadDefaultPalette(*screen);
    screen->font = builtinFont(8);
    resetTextState(*screen, width / 8, height / 8);
    return screen;
}

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

ScreenState* currentScreen() {
    return openState.get();
}
bool screenIsOpen() {
    return openState != nullptr;
}

void setWindowTitle(std::string_view title) {
    titleBuffer.fill(0);
    const std::size_t n = std::min<std::size_t>(title.size(), titleBuffer.size() - 1);
    std::memcpy(titleBuffer.data(), title.data(), n);
    titleEverSet = true;
    if (openState && openState->backend) openState->backend->setTitle(windowTitle());
}

std::string_view windowTitle() {
    return titleBuffer.data();
}

std::int32_t openScreen(std::int32_t width, std::int32_t height, std::int32_t depth, std::int32_t pageCount,
                        std::int32_t flags, std::int32_t refreshRate) {
    const std::int32_t normalised = normaliseDepth(depth);
    if (width <= 0 || height <= 0 || normalised == 0) return storeErrorNumber(IllegalFunctionCall);
    // Pixel offsets in the layer are 32-bit products of row and pitch: a page must stay below 2 GiB.
    const std::int64_t pageSize = std::int64_t{(normalised + 7) / 8} * width * height;
    if (pageSize > std::numeric_limits<std::int32_t>::max()) return storeErrorNumber(IllegalFunctionCall);
    pageCount = std::max(pageCount, 1);
    if (flags & ScreenShaped) flags |= ScreenNoSwitch | ScreenNoFrame;

    closeScreen();
    unpackBuiltinTable();

    std::unique_ptr<ScreenState> screen;
    try {
        screen = makeScreenState(width, height, normalised, pageCount, flags);
    } catch (const std::bad_alloc&) {
        // The pages do not fit in memory: no screen, like any failed open.
        return storeErrorNumber(IllegalFunctionCall);
    }
    if (!titleEverSet) useProgramNameAsTitle();
    openEventQueue();
    resetInput();
    openState = std::move(screen);

    // Each list is tried with the requested refresh rate, then 0; then once more with full screen inverted.
    bool started = false;
    for (int attempt = 0; attempt < 2 && !started; ++attempt) {
        const std::int32_t tryFlags = attempt == 0 ? flags : flags ^ ScreenFullScreen;
        for (const BackendFactory factory : backendFactories()) {
            for (const std::int32_t rate : {refreshRate, 0}) {
                auto backend = factory(tryFlags);
                if (!backend) break;  // refuses these flags
                openState->flags = (openState->flags & ~0xFFFFu) | static_cast<std::uint32_t>(tryFlags);
                if (backend->start(*openState, rate)) {
                    openState->backend = std::move(backend);
                    openState->waker.backend.store(openState->backend.get(), std::memory_order_release);
                    started = true;
                    break;
                }
                backend->stop();
                if (rate == 0) break;
            }
            if (started) break;
        }
    }
    if (!started) {
        setKeyPressedHook(nullptr);
        openState.reset();
        closeEventQueue();
        return storeErrorNumber(IllegalFunctionCall);
    }

    {
        ScreenLock lock;
        DrawContext* context = drawContext();
        for (auto& page : openState->pages)
            fillPage(*openState, page, context->background);
        markAllDirty(*openState);
    }
    if (!exitHookRegistered) {
        registerExitHook(closeScreenAtExit);
        exitHookRegistered = true;
    }
    return storeErrorNumber(0);
}

void closeScreen() {
    if (!openState) return;
    // Without a screen, sleeping watches the console's keys again.
    setKeyPressedHook(nullptr);
    // Closing joins the refresh thread, which needs the lock: give up any hold of ours first.
    releaseScreenLockCompletely();
    openState->waker.backend.store(nullptr, std::memory_order_release);
    if (openState->backend) openState->backend->stop();
    if (openState->backend && openState->backend->abandoned()) {
        // The refresh thread was parked by the exit sequence, perhaps holding a lock or using the buffers:
        // the process is ending, so leave everything as it is rather than free what it may touch.
        static_cast<void>(openState.release());
        return;
    }
    openState.reset();
    closeEventQueue();
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
            context->penX = static_cast<float>(screen->view.x + screen->view.width / 2);
            context->penY = static_cast<float>(screen->view.y + screen->view.height / 2);
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
