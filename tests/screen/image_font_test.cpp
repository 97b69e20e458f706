#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "harness/support/memory_screen_fixture.h"
#include "screen/state/screen_state.h"
#include "screen/state/screen_values.h"
#include "screen/text/text.h"

namespace zopp {
namespace {

// A 4-byte font image for 'A'..'C' with widths 3, 4 and 5 and glyphs 5 rows high. Glyph pixel (column,
// row) of character ch holds ch << 16 | column << 8 | row, so every drawn pixel tells where it came from.
struct FontImage {
    std::vector<std::uint8_t> block;
    std::int32_t width = 12, height = 6, pitch = 48;

    FontImage() {
        block.assign(32 + static_cast<std::size_t>(pitch * height), 0);
        setHeader(7, 4, width, height, pitch);
        std::uint8_t* row0 = pixels();
        row0[0] = 0;
        row0[1] = 'A';
        row0[2] = 'C';
        row0[3] = 3;
        row0[4] = 4;
        row0[5] = 5;
        std::int32_t left = 0;
        for (std::uint32_t ch = 'A'; ch <= 'C'; ++ch) {
            const std::int32_t w = row0[3 + ch - 'A'];
            for (std::int32_t y = 1; y < height; ++y) {
                for (std::int32_t c = 0; c < w; ++c) {
                    const std::uint32_t v =
                        ch << 16 | static_cast<std::uint32_t>(c) << 8 | static_cast<std::uint32_t>(y - 1);
                    std::memcpy(pixels() + y * pitch + (left + c) * 4, &v, 4);
                }
            }
            left += w;
        }
    }
    void setHeader(std::int32_t type, std::int32_t bpp, std::int32_t w, std::int32_t h, std::int32_t p) {
        const std::int32_t header[5] = {type, bpp, w, h, p};
        std::memcpy(block.data(), header, sizeof header);
    }
    std::uint8_t* pixels() { return block.data() + 32; }
};

std::uint32_t glyphPixel(char ch, std::int32_t column, std::int32_t row) {
    return static_cast<std::uint32_t>(ch) << 16 | static_cast<std::uint32_t>(column) << 8 |
           static_cast<std::uint32_t>(row);
}

struct BlitLog {
    int calls = 0;
    std::int32_t alpha = 0;
};

// Copies 4-byte pixels row by row and records how it was called.
void recordingBlitter(const std::uint8_t* source, std::uint8_t* target, std::int32_t width,
                      std::int32_t height, std::int32_t sourcePitch, std::int32_t targetPitch,
                      std::int32_t alpha, void*, void* parameter) {
    auto* log = static_cast<BlitLog*>(parameter);
    ++log->calls;
    log->alpha = alpha;
    for (std::int32_t y = 0; y < height; ++y) {
        std::memcpy(target + y * targetPitch, source + y * sourcePitch, static_cast<std::size_t>(width) * 4);
    }
}

class ImageFontText : public testing::MemoryScreen {
  protected:
    void SetUp() override {
        MemoryScreen::SetUp();
        openMemoryScreen(640, 480, 32);
        clearDirty();
    }
    std::int32_t draw(float x, float y, std::string_view text, FontImage& font) {
        return drawText(kScreen, x, y, 4, text, 0, font.block, 1, recordingBlitter, nullptr, &log);
    }
    BlitLog log;
};

TEST_F(ImageFontText, GlyphsAreBlittedSideBySideAdvancingByTheirWidths) {
    FontImage font;
    ASSERT_EQ(draw(50, 60, "CAB", font), 0);
    EXPECT_EQ(log.calls, 3);
    EXPECT_EQ(log.alpha, -1);
    for (std::int32_t row = 0; row < 5; ++row) {
        for (std::int32_t c = 0; c < 5; ++c)
            EXPECT_EQ(screenPixel(50 + c, 60 + row), glyphPixel('C', c, row));
        for (std::int32_t c = 0; c < 3; ++c)
            EXPECT_EQ(screenPixel(55 + c, 60 + row), glyphPixel('A', c, row));
        for (std::int32_t c = 0; c < 4; ++c)
            EXPECT_EQ(screenPixel(58 + c, 60 + row), glyphPixel('B', c, row));
    }
    EXPECT_NE(screenPixel(62, 60), glyphPixel('B', 4, 0));
    EXPECT_NE(screenPixel(50, 65), glyphPixel('C', 0, 5));
    EXPECT_FALSE(lineDirty(59));
    for (std::int32_t y = 60; y < 65; ++y)
        EXPECT_TRUE(lineDirty(y));
    EXPECT_FALSE(lineDirty(65));
}

TEST_F(ImageFontText, CharactersOutsideTheFontAreSkipped) {
    FontImage font;
    ASSERT_EQ(draw(10, 10, "AzB", font), 0);
    EXPECT_EQ(log.calls, 2);
    EXPECT_EQ(screenPixel(13, 10), glyphPixel('B', 0, 0));
}

TEST_F(ImageFontText, GlyphsAreClippedAtTheScreenEdges) {
    FontImage font;
    ASSERT_EQ(draw(-2, 477, "CA", font), 0);
    EXPECT_EQ(screenPixel(0, 477), glyphPixel('C', 2, 0));
    EXPECT_EQ(screenPixel(2, 479), glyphPixel('C', 4, 2));
    EXPECT_EQ(screenPixel(3, 477), glyphPixel('A', 0, 0));
    ASSERT_EQ(draw(637, 10, "CA", font), 0);
    EXPECT_EQ(screenPixel(639, 12), glyphPixel('C', 2, 2));
    EXPECT_EQ(log.calls, 3) << "'A' after the right edge is not blitted";
}

TEST_F(ImageFontText, UnusableFontsAreRejected) {
    {
        FontImage font;
        font.pixels()[0] = 1;  // version
        EXPECT_EQ(draw(0, 0, "A", font), 1);
    }
    {
        FontImage font;
        font.pixels()[5] = 6;  // widths add up to 13 of 12 columns
        EXPECT_EQ(draw(0, 0, "A", font), 1);
    }
    {
        FontImage font;
        font.pixels()[2] = 'A' + 45;  // 46 widths do not fit in a 48-byte header row after 3 bytes
        EXPECT_EQ(draw(0, 0, "A", font), 1);
    }
    {
        FontImage font;
        font.pixels()[2] = 'A' - 1;  // last code before the first
        EXPECT_EQ(draw(0, 0, "A", font), 1);
    }
    {
        FontImage font;
        font.setHeader(7, 4, 12, 1, 48);  // the header row alone
        EXPECT_EQ(draw(0, 0, "A", font), 1);
    }
    {
        FontImage font;
        EXPECT_EQ(drawText(kScreen, 0, 0, 4, "A", 0, font.block, 1, nullptr, nullptr, nullptr), 1);
    }
    EXPECT_EQ(log.calls, 0);
}

TEST_F(ImageFontText, FontMustHaveTheTargetPixelSize) {
    FontImage font;
    font.setHeader(7, 2, 12, 6, 48);
    EXPECT_EQ(draw(0, 0, "A", font), 1);
}

TEST_F(ImageFontText, FontRowsOfThreeBytesOrLessAreRejected) {
    openMemoryScreen(640, 480, 8);
    // The older 4-byte header: bytesPerPixel 1 and width 3 packed in one word, then the height.
    std::vector<std::uint8_t> block = {1 | 3 << 3, 0, 4, 0, 0, 'A', 'A', 3, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    EXPECT_EQ(drawText(kScreen, 0, 0, 4, "A", 0, block, 1, recordingBlitter, nullptr, &log), 1);
    EXPECT_EQ(log.calls, 0);
}

}  // namespace
}  // namespace zopp
