#include "screen/text/text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "harness/support/memory_screen_fixture.h"
#include "harness/support/test_paths.h"
#include "screen/state/screen_state.h"
#include "screen/text/text_mode.h"

namespace zopp {
namespace {

constexpr std::uint32_t kInk = 0x00123456;

// Glyph bytes straight from the generator's input, where bit 7 is the leftmost pixel.
std::vector<std::uint8_t> sourceGlyphs(int height) {
    const std::string file = testing::sourcePath("tools/fontdata/cp437-8x" + std::to_string(height) + ".bin");
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class DrawText : public testing::MemoryScreen {
  protected:
    // Gives every pixel of the work page its own value, so untouched pixels can be told from drawn ones.
    void paintPattern() {
        for (std::int32_t y = 0; y < height(); ++y) {
            for (std::int32_t x = 0; x < width(); ++x)
                setScreenPixel(x, y, pattern(x, y));
        }
    }
    static std::uint32_t pattern(std::int32_t x, std::int32_t y) {
        return 0xFF000000u | static_cast<std::uint32_t>(x * 977 + y * 131);
    }
    void setScreenPixel(std::int32_t x, std::int32_t y, std::uint32_t v) {
        ScreenState* s = currentScreen();
        std::memcpy(s->workPixels() + static_cast<std::size_t>(y * s->pitch + x * s->bytesPerPixel), &v, 4);
    }
    static std::int32_t width() { return currentScreen()->width; }
    static std::int32_t height() { return currentScreen()->height; }

    // Whether the source glyph of ch has its pixel (column, row) set.
    static bool inked(const std::vector<std::uint8_t>& glyphs, int h, std::uint8_t ch, int column, int row) {
        return glyphs[static_cast<std::size_t>(ch * h + row)] >> (7 - column) & 1;
    }

    // Compares the whole page with text drawn from the source glyphs at (x, y) over the pattern.
    void expectScreenShows(std::string_view text, std::int32_t x, std::int32_t y, int h) {
        const auto glyphs = sourceGlyphs(h);
        int mismatches = 0;
        for (std::int32_t py = 0; py < height(); ++py) {
            for (std::int32_t px = 0; px < width(); ++px) {
                const std::int64_t cell = px >= x ? (px - x) / 8 : -1;
                const bool inCell =
                    cell >= 0 && cell < static_cast<std::int64_t>(text.size()) && py >= y && py < y + h;
                const bool ink = inCell && inked(glyphs, h, static_cast<std::uint8_t>(text[cell]),
                                                 static_cast<int>((px - x) % 8), py - y);
                const std::uint32_t expected = ink ? kInk : pattern(px, py);
                if (screenPixel(px, py) != expected && ++mismatches <= 5) {
                    ADD_FAILURE() << "pixel (" << px << ", " << py << ") is " << std::hex
                                  << screenPixel(px, py) << ", expected " << expected;
                }
            }
        }
        EXPECT_EQ(mismatches, 0);
    }

    struct Box {
        std::int32_t left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    };
    Box inkBox() const {
        Box box;
        for (std::int32_t y = 0; y < height(); ++y) {
            for (std::int32_t x = 0; x < width(); ++x) {
                if (screenPixel(x, y) != pattern(x, y)) {
                    box.left = std::min(box.left, x);
                    box.right = std::max(box.right, x);
                    box.top = std::min(box.top, y);
                    box.bottom = std::max(box.bottom, y);
                }
            }
        }
        return box;
    }

    void openGameScreen() {
        openMemoryScreen(640, 480, 32);
        ASSERT_EQ(setTextGrid(80, 30), 0);
        paintPattern();
        clearDirty();
    }
};

TEST_F(DrawText, NineCharactersStayInsideTheirCellsAndLeaveTheBackgroundBetweenStrokes) {
    openGameScreen();
    ASSERT_EQ(drawText(kScreen, 10, 20, 4, "Wuerfel 3", kInk), 0);
    const Box box = inkBox();
    EXPECT_GE(box.left, 10);
    EXPECT_LE(box.right, 81);
    EXPECT_GE(box.top, 20);
    EXPECT_LE(box.bottom, 35);
    expectScreenShows("Wuerfel 3", 10, 20, 16);
}

TEST_F(DrawText, TextOverTheLeftEdgeShowsTheRightHalfOfItsFirstCharacter) {
    openGameScreen();
    ASSERT_EQ(drawText(kScreen, -4, 100, 4, "MW", kInk), 0);
    expectScreenShows("MW", -4, 100, 16);
    EXPECT_NE(screenPixel(0, 100 + 4), pattern(0, 104)) << "'M' has ink in its columns 4-7 on row 4";
}

TEST_F(DrawText, TextOverTheRightEdgeShowsTheLeftHalfOfItsFirstCharacterOnly) {
    openGameScreen();
    ASSERT_EQ(drawText(kScreen, 636, 100, 4, "MMMM", kInk), 0);
    expectScreenShows("M", 636, 100, 16);
    EXPECT_EQ(inkBox().left, 636);
}

TEST_F(DrawText, TextOverTheBottomDrawsTheTopGlyphRowsAndMarksOnlyTheirLines) {
    openGameScreen();
    ASSERT_EQ(drawText(kScreen, 100, 470, 4, "\xDB\xDB", kInk), 0);
    for (std::int32_t y = 470; y < 480; ++y)
        EXPECT_EQ(screenPixel(100, y), kInk) << y;
    EXPECT_EQ(inkBox().top, 470);
    EXPECT_FALSE(lineDirty(469));
    for (std::int32_t y = 470; y < 480; ++y)
        EXPECT_TRUE(lineDirty(y)) << y;
}

TEST_F(DrawText, TextAboveTheTopSkipsTheHiddenGlyphRows) {
    openGameScreen();
    ASSERT_EQ(drawText(kScreen, 20, -11, 4, "Lg", kInk), 0);
    expectScreenShows("Lg", 20, -11, 16);
    EXPECT_TRUE(lineDirty(0));
    EXPECT_TRUE(lineDirty(4));
    EXPECT_FALSE(lineDirty(5));
}

TEST_F(DrawText, OpenScreenStartsWithTheEightByEightFont) {
    openMemoryScreen(640, 480, 32);
    paintPattern();
    ASSERT_EQ(drawText(kScreen, 30, 40, 4, "Ag", kInk), 0);
    expectScreenShows("Ag", 30, 40, 8);
    ASSERT_EQ(setTextGrid(80, 34), 0);  // 480 / 34 = 14-pixel cells
    paintPattern();
    ASSERT_EQ(drawText(kScreen, 30, 40, 4, "Ag", kInk), 0);
    expectScreenShows("Ag", 30, 40, 14);
}

TEST_F(DrawText, BytesAbove127DrawTheirCodePageGlyphs) {
    openGameScreen();
    ASSERT_EQ(drawText(kScreen, 0, 0, 4, "\x84", kInk), 0);
    ASSERT_EQ(drawText(kScreen, 8, 0, 4, "a", kInk), 0);
    // a-diaeresis is 'a' with two dots of two pixels each above it.
    for (std::int32_t y = 3; y < 16; ++y) {
        for (std::int32_t x = 0; x < 8; ++x)
            EXPECT_EQ(screenPixel(x, y), screenPixel(x + 8, y) == kInk ? kInk : pattern(x, y));
    }
    for (std::int32_t x = 0; x < 8; ++x) {
        EXPECT_EQ(screenPixel(x, 2) == kInk, x == 0 || x == 1 || x == 4 || x == 5) << x;
    }
}

TEST_F(DrawText, ControlBytesDrawTheirGlyphsWithoutMovingTheCursor) {
    openGameScreen();
    const std::string text("A\0\n\rB", 5);
    ASSERT_EQ(drawText(kScreen, 40, 60, 4, text, kInk), 0);
    expectScreenShows(text, 40, 60, 16);
    EXPECT_EQ(screenPixel(40 + 16, 60 + 5), kInk) << "the inverse circle of byte 10 is solid at its edge";
}

TEST_F(DrawText, DefaultColourFlagUsesTheForegroundColour) {
    openGameScreen();
    setColors(kInk, 0, 2);
    ASSERT_EQ(drawText(kScreen, 10, 10, DEFAULT_COLOR | 4, "H", 0x00FF0000), 0);
    expectScreenShows("H", 10, 10, 16);
}

TEST_F(DrawText, ColourIsConvertedToTheTargetPixelSize) {
    openMemoryScreen(640, 480, 16);
    ASSERT_EQ(drawText(kScreen, 0, 0, 4, "\xDB", 0x00FF0000), 0);
    EXPECT_EQ(screenPixel(0, 0), 0xF800u);
    openMemoryScreen(640, 480, 8);
    ASSERT_EQ(drawText(kScreen, 0, 0, 4, "\xDB", 0x00001234), 0);
    EXPECT_EQ(screenPixel(0, 0), 0x34u);
}

TEST_F(DrawText, CoordinatesRoundHalfAwayFromZeroAndChainFromThePen) {
    openGameScreen();
    ASSERT_EQ(drawText(kScreen, 99.5f, 49.5f, 0, "M", kInk), 0);
    ASSERT_EQ(drawText(kScreen, 8, 0, 5, "W", kInk), 0);  // relative: right after the 'M' at (100, 50)
    expectScreenShows("MW", 100, 50, 16);
    paintPattern();
    ASSERT_EQ(drawText(kScreen, -4.5f, 200, 4, "M", kInk), 0);
    expectScreenShows("M", -5, 200, 16);
}

TEST_F(DrawText, GraphicsViewClipsToThePixel) {
    openGameScreen();
    setGraphicsView(103, 0, 110, 479);
    ASSERT_EQ(drawText(kScreen, 100, 0, 4, "\xDB\xDB\xDB", kInk), 0);
    const Box box = inkBox();
    EXPECT_EQ(box.left, 103);
    EXPECT_EQ(box.right, 110);
    EXPECT_EQ(box.bottom, 15);
}

TEST_F(DrawText, EmptyTextDrawsNothingAndMarksNothing) {
    openGameScreen();
    EXPECT_EQ(drawText(kScreen, 10, 10, 4, "", kInk), 0);
    EXPECT_EQ(inkBox().right, -1);
    for (std::int32_t y = 0; y < 480; ++y)
        ASSERT_FALSE(lineDirty(y)) << y;
}

TEST_F(DrawText, TextWhollyOutsideMarksNoLines) {
    openGameScreen();
    EXPECT_EQ(drawText(kScreen, -100, 10, 4, "abc", kInk), 0);
    EXPECT_EQ(drawText(kScreen, 640, 10, 4, "abc", kInk), 0);
    EXPECT_EQ(drawText(kScreen, 10, -16, 4, "abc", kInk), 0);
    EXPECT_EQ(inkBox().right, -1);
    for (std::int32_t y = 0; y < 480; ++y)
        ASSERT_FALSE(lineDirty(y)) << y;
}

TEST_F(DrawText, MissingTextDescriptorIsAnIllegalCall) {
    openGameScreen();
    EXPECT_EQ(drawText(kScreen, 10, 10, 4, std::string_view{}, kInk), 1);
}

TEST_F(DrawText, WithoutAScreenNothingIsDrawnAndTheCallSucceeds) {
    EXPECT_EQ(drawText(kScreen, 10, 10, 4, "abc", kInk), 0);
    EXPECT_EQ(drawText(kScreen, 10, 10, 4, std::string_view{}, kInk), 0);
}

TEST_F(DrawText, ImageTargetGetsTheTextAndNoScreenLineIsMarked) {
    openGameScreen();
    const std::int32_t w = 16, h = 20;
    std::vector<std::uint8_t> block(32 + static_cast<std::size_t>(w * 4 * h), 0);
    const std::int32_t header[5] = {7, 4, w, h, w * 4};
    std::memcpy(block.data(), header, sizeof header);
    ASSERT_EQ(drawText(block, 8, 2, 4, "\xDB\xDB", kInk), 0);
    const auto pixel = [&](std::int32_t x, std::int32_t y) {
        std::uint32_t v;
        std::memcpy(&v, block.data() + 32 + static_cast<std::size_t>(y * w * 4 + x * 4), 4);
        return v;
    };
    EXPECT_EQ(pixel(7, 2), 0u);
    EXPECT_EQ(pixel(8, 2), kInk);
    EXPECT_EQ(pixel(15, 17), kInk);
    EXPECT_EQ(pixel(15, 18), 0u);
    EXPECT_FALSE(lineDirty(2));
}

}  // namespace
}  // namespace zopp
