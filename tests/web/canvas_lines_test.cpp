// Frame-buffer lines as the canvas takes them.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "screen/state/screen_state.h"
#include "screen/web/canvas_lines.h"

namespace zopp {
namespace {

ScreenState lineOf(std::int32_t bytesPerPixel, std::vector<std::uint8_t> pixels) {
    ScreenState screen;
    screen.bytesPerPixel = bytesPerPixel;
    screen.depth = bytesPerPixel == 1 ? 8 : bytesPerPixel * 8;
    screen.colourMask = bytesPerPixel == 1 ? 0xFFu : bytesPerPixel == 2 ? 0xFFFFu : 0xFFFFFFFFu;
    screen.width = static_cast<std::int32_t>(pixels.size()) / bytesPerPixel;
    screen.height = 2;
    screen.pitch = static_cast<std::int32_t>(pixels.size());
    // The line is line 1 of page 1, behind a line and a page that must not show.
    screen.pages = {std::vector<std::uint8_t>(2 * pixels.size(), 0xEE),
                    std::vector<std::uint8_t>(pixels.size(), 0xEE)};
    screen.pages[1].insert(screen.pages[1].end(), pixels.begin(), pixels.end());
    screen.visiblePage = 1;
    return screen;
}

std::vector<std::uint8_t> converted(const ScreenState& screen) {
    std::vector<std::uint8_t> out(static_cast<std::size_t>(screen.width) * 4);
    canvasLine(screen, 1, out.data());
    return out;
}

TEST(CanvasLine, ThirtyTwoBitPixelsBecomeRedGreenBlueAndAnOpaqueAlpha) {
    // Stored as B, G, R, A: 0x00123456 (the game's alpha 0) and 0x80ABCDEF.
    const ScreenState screen = lineOf(4, {0x56, 0x34, 0x12, 0x00, 0xEF, 0xCD, 0xAB, 0x80});
    EXPECT_EQ(converted(screen), (std::vector<std::uint8_t>{0x12, 0x34, 0x56, 0xFF, 0xAB, 0xCD, 0xEF, 0xFF}));
}

TEST(CanvasLine, SixteenBitPixelsWidenTheirChannelsSoFullStaysFull) {
    // 5-6-5: white, pure red, pure green.
    const ScreenState screen = lineOf(2, {0xFF, 0xFF, 0x00, 0xF8, 0xE0, 0x07});
    EXPECT_EQ(converted(screen), (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0xFF,
                                                            0x00, 0xFF, 0x00, 0xFF}));
}

TEST(CanvasLine, PalettedPixelsShowTheirPaletteEntry) {
    ScreenState screen = lineOf(1, {3, 200});
    screen.palette[3] = 0x102030;
    screen.palette[200] = 0xFFEEDD;
    EXPECT_EQ(converted(screen), (std::vector<std::uint8_t>{0x10, 0x20, 0x30, 0xFF, 0xFF, 0xEE, 0xDD, 0xFF}));
}

}  // namespace
}  // namespace zopp
