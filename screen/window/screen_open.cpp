#include "screen/text/font.h"
#include "screen/window/screen.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <new>
#include <string>

#include "frame/events.h"
#include "frame/runtime.h"
#include "frame/timing.h"
#include "screen/backend/input.h"
#include "screen/drawing/draw_context.h"
#include "screen/drawing/row_copy.h"
#include "screen/state/colour.h"
#include "screen/state/screen_state.h"
#include "screen/window/backend_choice.h"
#include "screen/window/refresh_loop.h"

namespace zopp {

namespace {

std::unique_ptr<RefreshLoop> openLoop;  // drives the back-end that shows the open screen
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
    fillPixels(page.data(), page.size() / static_cast<std::size_t>(screen.bytesPerPixel),
               screen.bytesPerPixel, colour);
}

void closeScreenAtExit() {
    closeScreen();
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
    const auto pageBytes = static_cast<std::size_t>(screen->pitch) * static_cast<std::size_t>(height);
    // Each page allocated in place: a temporary page to copy from would leave the allocator holding a
    // page-sized block for the rest of the run.
    screen->pages.resize(static_cast<std::size_t>(pageCount));
    for (auto& page : screen->pages)
        page.resize(pageBytes);
    screen->dirty.assign(static_cast<std::size_t>(height), 0);
    screen->flags = static_cast<std::uint32_t>(flags);
    screen->hasFastCopy = cpuHasFastCopy();
    loadDefaultPalette(*screen);
    return screen;
}

}  // namespace

bool screenIsOpen() {
    return currentScreen() != nullptr;
}

void setWindowTitle(std::string_view title) {
    titleBuffer.fill(0);
    const std::size_t n = std::min<std::size_t>(title.size(), titleBuffer.size() - 1);
    std::memcpy(titleBuffer.data(), title.data(), n);
    titleEverSet = true;
    if (openLoop) openLoop->setTitle(windowTitle());
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
    ScreenState& open = *screen;
    setCurrentScreen(std::move(screen));

    // Each list is tried with the requested refresh rate, then 0; then once more with full screen inverted.
    bool started = false;
    for (int attempt = 0; attempt < 2 && !started; ++attempt) {
        const std::int32_t tryFlags = attempt == 0 ? flags : flags ^ ScreenFullScreen;
        for (const BackendFactory factory : backendFactories()) {
            for (const std::int32_t rate : {refreshRate, 0}) {
                auto backend = factory(tryFlags);
                if (!backend) break;  // refuses these flags
                open.flags = static_cast<std::uint32_t>(tryFlags);
                auto loop = std::make_unique<RefreshLoop>(open, std::move(backend));
                if (loop->start(rate, windowTitle())) {
                    openLoop = std::move(loop);
                    setScreenWatcher(openLoop.get());
                    started = true;
                    break;
                }
                if (rate == 0) break;
            }
            if (started) break;
        }
    }
    if (!started) {
        setKeyPressedHook(nullptr);
        takeCurrentScreen();  // and free it
        closeEventQueue();
        return storeErrorNumber(IllegalFunctionCall);
    }

    {
        ScreenLock lock;
        DrawContext* context = drawContext();
        for (auto& page : open.pages)
            fillPage(open, page, context->background);
        markAllDirty(open);
    }
    if (!exitHookRegistered) {
        registerExitHook(closeScreenAtExit);
        exitHookRegistered = true;
    }
    return storeErrorNumber(0);
}

void closeScreen() {
    ScreenState* screen = currentScreen();
    if (!screen) return;
    // Without a screen, sleeping watches the console's keys again.
    setKeyPressedHook(nullptr);
    // Closing joins the refresh thread, which needs the lock: give up any hold of ours first.
    releaseScreenLockCompletely();
    setScreenWatcher(nullptr);
    if (openLoop) openLoop->stop();
    if (openLoop && openLoop->abandoned()) {
        // The refresh thread was parked by the exit sequence, perhaps holding a lock or using the buffers:
        // the process is ending, so leave everything as it is rather than free what it may touch.
        static_cast<void>(openLoop.release());
        static_cast<void>(takeCurrentScreen().release());
        return;
    }
    openLoop.reset();
    takeCurrentScreen();  // and free it
    closeEventQueue();
}

}  // namespace zopp
