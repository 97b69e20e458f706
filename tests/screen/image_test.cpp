#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "harness/support/memory_screen_fixture.h"
#include "screen/images/image.h"

namespace zopp {
namespace {

using ImageTest = testing::MemoryScreen;

std::int32_t field(const Image& image, std::size_t offset) {
    std::int32_t v;
    std::memcpy(&v, image.bytes().data() + offset, 4);
    return v;
}

TEST_F(ImageTest, BlockHasTypeSevenHeaderAndPitchRoundedToSixteen) {
    openMemoryScreen();
    const auto image = createImage(50, 50, 0, 0, DEFAULT_COLOR);
    ASSERT_TRUE(image);
    EXPECT_EQ(field(*image, 0), 7);
    EXPECT_EQ(field(*image, 4), 4);
    EXPECT_EQ(field(*image, 8), 50);
    EXPECT_EQ(field(*image, 12), 50);
    EXPECT_EQ(field(*image, 16), 208);
    EXPECT_EQ(field(*image, 24), 0);
    EXPECT_EQ(field(*image, 28), 0);
    EXPECT_EQ(image->bytes().size(), 32u + 50u * 208u);
    for (const auto& [w, pitch] : {std::pair{640, 2560}, {200, 800}, {100, 400}, {20, 80}, {10, 48}}) {
        EXPECT_EQ(createImage(w, 1, 0, 0, DEFAULT_COLOR)->pitch(), pitch) << w;
    }
}

TEST_F(ImageTest, DefaultFillCoversEverySlotIncludingPadding) {
    openMemoryScreen();
    const auto image = createImage(50, 50, 0, 0, DEFAULT_COLOR);
    for (std::int32_t y = 0; y < 50; ++y) {
        for (std::int32_t x = 0; x < 52; ++x)
            ASSERT_EQ(image->pixel32(x, y), 0xFFFF00FFu) << x << "," << y;
    }
}

TEST_F(ImageTest, FillColourFollowsPixelSize) {
    openMemoryScreen();
    const auto two = createImage(3, 2, 0, 16, DEFAULT_COLOR);
    const auto one = createImage(3, 2, 0, 8, DEFAULT_COLOR);
    const auto given8 = createImage(3, 2, 0x12342A, 8, 0);
    const auto given16 = createImage(3, 2, 0x123456, 15, 0);
    const auto given32 = createImage(3, 2, 0x00123456, 32, 0);
    ASSERT_TRUE(two && one && given8 && given16 && given32);
    std::uint16_t v;
    std::memcpy(&v, two->bytes().data() + 32 + 2, 2);
    EXPECT_EQ(v, 0xF81F);
    EXPECT_EQ(one->bytes()[32 + 5], 0);
    EXPECT_EQ(given8->bytes()[32 + 5], 0x2A);
    std::memcpy(&v, given16->bytes().data() + 32, 2);
    EXPECT_EQ(v, 0x11AA);  // 00010 001101 01010: the top 5, 6 and 5 bits of 0x12, 0x34, 0x56
    EXPECT_EQ(given32->pixel32(2, 1), 0x00123456u);
    EXPECT_EQ(two->pitch(), 16);
    EXPECT_EQ(one->bytesPerPixel(), 1);
}

TEST_F(ImageTest, RefusesBadSizesDepthsAndMissingScreen) {
    EXPECT_FALSE(createImage(10, 10, 0, 0, DEFAULT_COLOR));  // no screen yet
    openMemoryScreen();
    EXPECT_FALSE(createImage(0, 10, 0, 0, DEFAULT_COLOR));
    EXPECT_FALSE(createImage(10, -1, 0, 0, DEFAULT_COLOR));
    EXPECT_FALSE(createImage(10, 10, 0, 24, DEFAULT_COLOR));  // 3 bytes per pixel
    EXPECT_FALSE(createImage(10, 10, 0, 40, DEFAULT_COLOR));
    EXPECT_FALSE(createImage(0x7FFFFFFF, 0x7FFFFFFF, 0, 0, DEFAULT_COLOR));  // would wrap in 32 bits
    EXPECT_FALSE(createImage(30000, 30000, 0, 0, DEFAULT_COLOR));            // 3.6 GB
    const auto oneBit = createImage(10, 10, 0, 1, DEFAULT_COLOR);
    ASSERT_TRUE(oneBit);
    EXPECT_EQ(oneBit->bytesPerPixel(), 1);
}

TEST(ImageHeader, ReadsOlderHeaderWithScreenPixelSize) {
    std::vector<std::uint8_t> block(4 + 3 * 2 * 4);
    const std::uint16_t word = (3 << 3) | 0, height = 2;
    std::memcpy(block.data(), &word, 2);
    std::memcpy(block.data() + 2, &height, 2);
    const auto info = readImageHeader(block, 4);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->bytesPerPixel, 4);
    EXPECT_EQ(info->width, 3);
    EXPECT_EQ(info->height, 2);
    EXPECT_EQ(info->pitch, 12);
    EXPECT_EQ(info->pixelOffset, 4u);
    block.pop_back();  // one byte short of its rows
    EXPECT_FALSE(readImageHeader(block, 4));
    const std::uint16_t narrow[] = {(1 << 3) | 4, 1};  // one pixel of four bytes
    std::memcpy(block.data(), narrow, sizeof narrow);
    EXPECT_TRUE(readImageHeader(block, 4));
}

TEST(ImageHeader, AcceptsOnlyHeadersWhoseRowsFitTheBlock) {
    std::vector<std::uint8_t> block(32 + 16 * 2);
    // Type, bytes per pixel, width, height and pitch, and whether a block of two 16-byte rows holds them.
    const std::pair<std::array<std::int32_t, 5>, bool> headers[] = {
        {{7, 4, 4, 2, 16}, true},  {{7, 4, 4, 3, 16}, false}, {{7, 4, 4, 2, 8}, false},
        {{7, 3, 4, 2, 16}, false}, {{7, 4, 0, 2, 16}, false}, {{7, 4, 4, 0, 16}, false},
    };
    for (const auto& [header, fits] : headers) {
        std::memcpy(block.data(), header.data(), sizeof header);
        EXPECT_EQ(readImageHeader(block, 4).has_value(), fits) << ::testing::PrintToString(header);
    }
}

}  // namespace
}  // namespace zopp
