#include "harness/support/memory_screen_fixture.h"

#include <algorithm>
#include <cstring>

#include "screen/null/null_backend.h"
#include "screen/state/screen_state.h"
#include "screen/window/screen.h"

namespace zopp::testing {

void MemoryScreen::SetUp() {
    setBackendFactories(nullBackends);
}

void MemoryScreen::TearDown() {
    closeScreen();
    setBackendFactories({});
}

void MemoryScreen::openMemoryScreen(std::int32_t width, std::int32_t height, std::int32_t depth,
                                    std::int32_t flags) {
    ASSERT_EQ(openScreen(width, height, depth, 0, flags, 0), 0);
}

std::uint32_t MemoryScreen::screenPixel(std::int32_t x, std::int32_t y) const {
    ScreenState* screen = currentScreen();
    const std::uint8_t* p = screen->workPixels() +
                            static_cast<std::size_t>(y) * static_cast<std::size_t>(screen->pitch) +
                            static_cast<std::size_t>(x) * static_cast<std::size_t>(screen->bytesPerPixel);
    std::uint32_t v = 0;
    std::memcpy(&v, p, static_cast<std::size_t>(screen->bytesPerPixel));
    return v;
}

bool MemoryScreen::lineDirty(std::int32_t y) const {
    return currentScreen()->dirty[static_cast<std::size_t>(y)] != 0;
}

void MemoryScreen::clearDirty() {
    auto& dirty = currentScreen()->dirty;
    std::fill(dirty.begin(), dirty.end(), 0);
}

}  // namespace zopp::testing
