#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

#include "harness/support/test_paths.h"
#include "screen/text/font.h"
#include "tools/font_table_build.h"
#include "tools/font_table_source.h"
#include "tools/lzw_pack.h"

namespace zopp {
namespace {

const std::filesystem::path kSourceDir = testing::sourcePath();

std::vector<std::uint8_t> tableFromSources() {
    std::string error;
    auto table = tools::buildFontTable(kSourceDir / "tools/fontdata", error);
    EXPECT_TRUE(table) << error;
    return table.value_or(std::vector<std::uint8_t>{});
}

struct Rgb {
    std::uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};

Rgb entry(std::span<const std::uint8_t> palette, std::size_t i) {
    return {palette[i * 3], palette[i * 3 + 1], palette[i * 3 + 2]};
}

class BuiltinTable : public ::testing::Test {
  protected:
    void SetUp() override { unpackBuiltinTable(); }
};

TEST_F(BuiltinTable, UnpacksToTheTableBuiltFromTheFontSources) {
    const auto expected = tableFromSources();
    const auto table = builtinTable();
    ASSERT_EQ(table.size(), 10742u);
    EXPECT_TRUE(std::equal(table.begin(), table.end(), expected.begin(), expected.end()));
}

TEST_F(BuiltinTable, CommittedSourceMatchesAFreshGeneration) {
    std::ifstream in(kSourceDir / "screen/text/font_table_lzw.cpp", std::ios::binary);
    const std::string committed{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(committed, tools::renderFontTableSource(tools::lzwPack(tableFromSources())))
        << "run the regenerate-font-table target";
}

TEST_F(BuiltinTable, FontsAreChosenByCellHeight) {
    for (const std::int32_t height : {8, 14, 16}) {
        const FontTable* font = builtinFont(height);
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(font->width, 8);
        EXPECT_EQ(font->height, height);
        // The full block is solid and the blank is empty in every font.
        for (std::int32_t row = 0; row < height; ++row) {
            EXPECT_EQ(font->glyphs[0xDB * height + row], 0xFF);
            EXPECT_EQ(font->glyphs[' ' * height + row], 0x00);
        }
    }
    EXPECT_EQ(builtinFont(12), nullptr);
}

TEST_F(BuiltinTable, GlyphBitZeroIsTheLeftmostPixel) {
    // The foot of 'L' in the 8×16 font runs from column 0 to 6, and its top serif covers columns 0-3.
    const std::uint8_t* l = builtinFont(16)->glyphs + 'L' * 16;
    EXPECT_EQ(l[11], 0x7F);
    EXPECT_EQ(l[2], 0x0F);
}

TEST_F(BuiltinTable, PalettesHoldTheTextModeAndRgbRgbColours) {
    const Rgb textMode[16] = {{0, 0, 0},          {0, 0, 0xAA},       {0, 0xAA, 0},       {0, 0xAA, 0xAA},
                              {0xAA, 0, 0},       {0xAA, 0, 0xAA},    {0xAA, 0x55, 0},    {0xAA, 0xAA, 0xAA},
                              {0x55, 0x55, 0x55}, {0x55, 0x55, 0xFF}, {0x55, 0xFF, 0x55}, {0x55, 0xFF, 0xFF},
                              {0xFF, 0x55, 0x55}, {0xFF, 0x55, 0xFF}, {0xFF, 0xFF, 0x55}, {0xFF, 0xFF, 0xFF}};
    const auto p2 = defaultPalette(2), p16 = defaultPalette(16), p64 = defaultPalette(64),
               p256 = defaultPalette(256);
    ASSERT_EQ(p2.size(), 6u);
    ASSERT_EQ(p16.size(), 48u);
    ASSERT_EQ(p64.size(), 192u);
    ASSERT_EQ(p256.size(), 768u);
    EXPECT_EQ(entry(p2, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(entry(p2, 1), (Rgb{0xFF, 0xFF, 0xFF}));
    for (std::size_t i = 0; i < 16; ++i) {
        EXPECT_EQ(entry(p16, i), textMode[i]) << i;
        // The 256-colour palette starts with the same 16 colours once its 6-bit values are widened.
        EXPECT_EQ(entry(p256, i), textMode[i]) << i;
    }
    // rgbRGB: bits 0-2 blue, green, red at two thirds, bits 3-5 at one third.
    EXPECT_EQ(entry(p64, 0x07), (Rgb{0xAA, 0xAA, 0xAA}));
    EXPECT_EQ(entry(p64, 0x14), (Rgb{0xAA, 0x55, 0x00}));
    EXPECT_EQ(entry(p64, 0x29), (Rgb{0x55, 0x00, 0xFF}));
    EXPECT_EQ(entry(p64, 0x3F), (Rgb{0xFF, 0xFF, 0xFF}));
    EXPECT_TRUE(defaultPalette(8).empty());
}

TEST(FontTableSources, SixBitValuesWidenToTheFullRange) {
    EXPECT_EQ(tools::widenSixBit(0), 0);
    EXPECT_EQ(tools::widenSixBit(21), 0x55);
    EXPECT_EQ(tools::widenSixBit(42), 0xAA);
    EXPECT_EQ(tools::widenSixBit(63), 0xFF);
}

TEST(FontTableSources, MissingFolderIsReported) {
    std::string error;
    EXPECT_FALSE(tools::buildFontTable(kSourceDir / "no-such-folder", error));
    EXPECT_NE(error.find("cp437-8x8.bin"), std::string::npos);
}

}  // namespace
}  // namespace zopp
