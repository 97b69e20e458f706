#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "harness/support/memory_screen_fixture.h"
#include "screen/drawing/blit.h"
#include "screen/drawing/row_copy.h"
#include "screen/state/screen_state.h"

namespace zopp {
namespace {

constexpr std::uint32_t kBackground = 0xFF000000;  // a fresh 32-bit screen

// Pixel (x, y) of the test images: unique per position and opaque.
std::uint32_t tag(std::int32_t x, std::int32_t y) {
    return 0xFF000000u | std::uint32_t(x) << 12 | std::uint32_t(y);
}

class Blitting : public testing::MemoryScreen {
  protected:
    void SetUp() override {
        MemoryScreen::SetUp();
        openMemoryScreen();
    }
    static ImagePtr tagged(std::int32_t w, std::int32_t h) {
        auto image = createImage(w, h);
        auto* pixels = image->bytes().data() + kImageHeaderBytes;
        for (std::int32_t y = 0; y < h; ++y) {
            for (std::int32_t x = 0; x < w; ++x) {
                const std::uint32_t v = tag(x, y);
                std::memcpy(pixels + std::size_t(y) * std::size_t(image->pitch()) + std::size_t(x) * 4, &v,
                            4);
            }
        }
        return image;
    }
    // The screen shows image pixel (x - left + srcX, y - top + srcY) inside the rectangle and the
    // background elsewhere.
    void expectBlock(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height,
                     std::int32_t srcX = 0, std::int32_t srcY = 0) {
        for (std::int32_t y = 0; y < 480; ++y) {
            for (std::int32_t x = 0; x < 640; ++x) {
                const bool inside = x >= left && x < left + width && y >= top && y < top + height;
                const std::uint32_t want = inside ? tag(x - left + srcX, y - top + srcY) : kBackground;
                ASSERT_EQ(screenPixel(x, y), want) << "at " << x << "," << y;
            }
        }
    }
};

TEST_F(Blitting, ClipsAtTheBottomLeftAndMarksOnlyTouchedLines) {
    const auto die = tagged(50, 50);
    clearDirty();
    ASSERT_EQ(putImage(kScreen, -10, 470, die->bytes()), 0);
    expectBlock(0, 470, 40, 10, 10, 0);
    EXPECT_FALSE(lineDirty(469));
    for (std::int32_t y = 470; y < 480; ++y)
        EXPECT_TRUE(lineDirty(y));
}

TEST_F(Blitting, ClipsAtTheTopAndRightEdges) {
    const auto die = tagged(50, 50);
    ASSERT_EQ(putImage(kScreen, 630, -45, die->bytes()), 0);
    expectBlock(630, 0, 10, 5, 0, 45);
}

TEST_F(Blitting, ImagesWhollyOutsideDrawNothingAndSucceed) {
    const auto die = tagged(50, 50);
    for (const auto& [x, y] :
         {std::pair{640.f, 0.f}, {0.f, -50.f}, {-50.f, 0.f}, {0.f, 480.f}, {1e9f, -1e9f}}) {
        EXPECT_EQ(putImage(kScreen, x, y, die->bytes()), 0) << x << "," << y;
    }
    expectBlock(0, 0, 0, 0);
}

TEST_F(Blitting, PositionsRoundHalfAwayFromZero) {
    const auto die = tagged(5, 5);
    ASSERT_EQ(putImage(kScreen, 10.5f, 20.4f, die->bytes()), 0);
    EXPECT_EQ(screenPixel(11, 20), tag(0, 0));
    EXPECT_EQ(screenPixel(10, 20), kBackground);
    EXPECT_EQ(screenPixel(11, 19), kBackground);
    ASSERT_EQ(putImage(kScreen, -0.5f, 100, die->bytes()), 0);
    EXPECT_EQ(screenPixel(0, 100), tag(1, 0));
}

TEST_F(Blitting, SourceCornersAreOrderedAndClamped) {
    const auto image = tagged(50, 40);
    ASSERT_EQ(putImage(kScreen, 100, 100, image->bytes(), 30, 20, 10, 5), 0);
    expectBlock(100, 100, 21, 16, 10, 5);
    ASSERT_EQ(putImage(kScreen, 100, 100, image->bytes(), -7, 99, 99, -7), 0);  // the whole image
    expectBlock(100, 100, 50, 40);
}

TEST_F(Blitting, CoordinateModesChainFromThePen) {
    const auto image = tagged(20, 20);
    ASSERT_EQ(putImage(kScreen, 100, 50, image->bytes(), 2, 3, 4, 5, CoordSecondRelative), 0);
    expectBlock(100, 50, 5, 6, 2, 3);  // corner 2 is (6, 8)
    ASSERT_EQ(putImage(kScreen, 10, 20, image->bytes(), NO_ARGUMENT, NO_ARGUMENT, NO_ARGUMENT, NO_ARGUMENT,
                       CoordFirstRelative),
              0);
    EXPECT_EQ(screenPixel(110, 70), tag(0, 0));
    ASSERT_EQ(putImage(kScreen, -100, -20, image->bytes(), 0, 0, 1, 1, CoordBothRelative), 0);
    EXPECT_EQ(screenPixel(10, 50), tag(0, 0));
    EXPECT_EQ(screenPixel(11, 51), tag(1, 1));
    EXPECT_EQ(screenPixel(12, 51), kBackground);
}

TEST_F(Blitting, RefusesNullImagesAndPixelSizeMismatch) {
    EXPECT_EQ(putImage(kScreen, 0, 0, {}), 1);
    const auto two = createImage(4, 4, 0, 16);
    EXPECT_EQ(putImage(kScreen, 0, 0, two->bytes()), 1);
    const auto one = createImage(4, 4, 0, 8);
    EXPECT_EQ(putImage(kScreen, 0, 0, one->bytes()), 1);
    std::vector<std::uint8_t> lying(64, 0xAB);  // no header at all
    EXPECT_EQ(putImage(kScreen, 0, 0, lying), 1);
    expectBlock(0, 0, 0, 0);
}

TEST_F(Blitting, AlphaModeWritesOnlyTheAlphaByte) {
    auto mask = createImage(3, 1, 0, 8);
    mask->bytes()[32] = 0x10;
    mask->bytes()[33] = 0x80;
    mask->bytes()[34] = 0xFF;
    const auto target = tagged(3, 2);
    ASSERT_EQ(putImage(target->bytes(), 1, 1, mask->bytes(), NO_ARGUMENT, NO_ARGUMENT, NO_ARGUMENT,
                       NO_ARGUMENT, 0, 6),
              0);
    EXPECT_EQ(target->pixel32(1, 1), (tag(1, 1) & 0xFFFFFF) | 0x10000000u);
    EXPECT_EQ(target->pixel32(2, 1), (tag(2, 1) & 0xFFFFFF) | 0x80000000u);  // the third byte is clipped off
    EXPECT_EQ(target->pixel32(0, 1), tag(0, 1));
    EXPECT_EQ(target->pixel32(1, 0), tag(1, 0));
}

TEST_F(Blitting, ImageTargetsClipToTheImage) {
    const auto source = tagged(10, 10);
    auto target = createImage(6, 6);
    ASSERT_EQ(putImage(target->bytes(), 3, -2, source->bytes()), 0);
    for (std::int32_t y = 0; y < 6; ++y) {
        for (std::int32_t x = 0; x < 6; ++x) {
            EXPECT_EQ(target->pixel32(x, y), x >= 3 ? tag(x - 3, y + 2) : 0xFFFF00FFu) << x << "," << y;
        }
    }
}

TEST_F(Blitting, OlderHeaderImagesDraw) {
    std::vector<std::uint8_t> old(4 + 2 * 2 * 4);
    const std::uint16_t word = (2 << 3) | 4, height = 2;
    std::memcpy(old.data(), &word, 2);
    std::memcpy(old.data() + 2, &height, 2);
    for (std::uint32_t i = 0; i < 4; ++i) {
        const std::uint32_t v = tag(std::int32_t(i % 2), std::int32_t(i / 2));
        std::memcpy(old.data() + 4 + i * 4, &v, 4);
    }
    ASSERT_EQ(putImage(kScreen, 7, 9, old), 0);
    expectBlock(7, 9, 2, 2);
}

struct Call {
    int count = 0;
    std::int32_t width = 0, height = 0, sourcePitch = 0, targetPitch = 0, alpha = 0;
    int lockDepth = 0;
};

TEST_F(Blitting, TheBlitterIsCalledOnceWithTheClippedBlock) {
    static Call call;
    const RowBlitter spy = [](const std::uint8_t*, std::uint8_t*, std::int32_t w, std::int32_t h,
                              std::int32_t sp, std::int32_t tp, std::int32_t a, void*,
                              void*) { call = {call.count + 1, w, h, sp, tp, a, screenLockDepth()}; };
    const auto image = tagged(50, 50);
    ASSERT_EQ(putImage(kScreen, 600, 450, image->bytes(), NO_ARGUMENT, NO_ARGUMENT, NO_ARGUMENT, NO_ARGUMENT,
                       0, 3, spy, 77),
              0);
    EXPECT_EQ(call.count, 1);
    EXPECT_EQ(call.width, 40);
    EXPECT_EQ(call.height, 30);
    EXPECT_EQ(call.sourcePitch, 208);
    EXPECT_EQ(call.targetPitch, 2560);
    EXPECT_EQ(call.alpha, 77);
    EXPECT_EQ(call.lockDepth, 1);  // pixels are written under the screen lock
    EXPECT_EQ(screenLockDepth(), 0);
}

TEST(RowCopies, PlainAndFastVariantsAgreeForEveryPixelSize) {
    std::mt19937 random(5);
    for (const std::int32_t bpp : {1, 2, 4}) {
        for (const std::int32_t width : {1, 3, 7, 16, 33, 640}) {
            const std::int32_t height = 5, sourcePitch = width * bpp + 16, targetPitch = width * bpp + 8;
            std::vector<std::uint8_t> source(std::size_t(sourcePitch) * height);
            for (auto& b : source)
                b = std::uint8_t(random());
            std::vector<std::uint8_t> plain(std::size_t(targetPitch) * height, 0x5A), fast = plain;
            rowCopy(CopyVariant::Plain, bpp)(source.data(), plain.data(), width, height, sourcePitch,
                                             targetPitch);
            rowCopy(CopyVariant::Fast, bpp)(source.data(), fast.data(), width, height, sourcePitch,
                                            targetPitch);
            ASSERT_EQ(plain, fast) << bpp << " bytes, width " << width;
            for (std::int32_t y = 0; y < height; ++y) {
                const auto* row = plain.data() + std::size_t(y) * targetPitch;
                ASSERT_EQ(
                    std::memcmp(row, source.data() + std::size_t(y) * sourcePitch, std::size_t(width * bpp)),
                    0);
                ASSERT_EQ(row[width * bpp], 0x5A);  // padding untouched
            }
        }
    }
    EXPECT_EQ(rowCopy(CopyVariant::Plain, 3), nullptr);
    EXPECT_EQ(rowCopy(CopyVariant::Fast, 3), nullptr);
}

class ScreenRects : public Blitting {};

TEST_F(ScreenRects, CopiesBothCornersWithPaddedPitch) {
    const auto picture = tagged(640, 480);
    ASSERT_EQ(putImage(kScreen, 0, 0, picture->bytes()), 0);
    auto saved = createImage(200, 50);
    saved->bytes()[20] = 0x3C;  // reserved bytes stay as they were
    ASSERT_EQ(copyScreenRect(kScreen, 370, 380, 569, 429, saved->bytes()), 0);
    EXPECT_EQ(saved->width(), 200);
    EXPECT_EQ(saved->height(), 50);
    EXPECT_EQ(saved->pitch(), 800);
    EXPECT_EQ(saved->bytes()[20], 0x3C);
    for (std::int32_t y = 0; y < 50; ++y) {
        for (std::int32_t x = 0; x < 200; ++x)
            ASSERT_EQ(saved->pixel32(x, y), tag(370 + x, 380 + y));
    }
    auto reversed = createImage(200, 50);
    ASSERT_EQ(copyScreenRect(kScreen, 569, 429, 370, 380, reversed->bytes()), 0);
    EXPECT_TRUE(
        std::equal(saved->bytes().begin() + 32, saved->bytes().end(), reversed->bytes().begin() + 32));
}

TEST_F(ScreenRects, RefusesRectanglesReachingOutsideTheClip) {
    auto saved = createImage(200, 50);
    const std::vector<std::uint8_t> before(saved->bytes().begin(), saved->bytes().end());
    EXPECT_EQ(copyScreenRect(kScreen, 600, 380, 650, 429, saved->bytes()), 1);
    EXPECT_EQ(copyScreenRect(kScreen, -1, 0, 10, 10, saved->bytes()), 1);
    EXPECT_EQ(copyScreenRect(kScreen, 0, 470, 10, 480, saved->bytes()), 1);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), saved->bytes().begin()));
}

TEST_F(ScreenRects, NeverWritesPastTheDestination) {
    auto small = createImage(10, 10);                                    // 32 + 10 × 48 bytes
    EXPECT_EQ(copyScreenRect(kScreen, 0, 0, 12, 9, small->bytes()), 1);  // pitch 64 would need 672
    EXPECT_EQ(small->width(), 10);
    EXPECT_EQ(copyScreenRect(kScreen, 0, 0, 11, 9, small->bytes()), 0);  // 12 wide still has pitch 48
    EXPECT_EQ(small->width(), 12);
    EXPECT_EQ(copyScreenRect(kScreen, 0, 0, 1, 1, {}), 1);
}

TEST(ScreenRectsWithoutScreen, RefuseWithoutAScreen) {
    std::vector<std::uint8_t> room(1024);
    EXPECT_EQ(copyScreenRect(kScreen, 0, 0, 1, 1, room), 1);
    EXPECT_EQ(putImage(kScreen, 0, 0, room), 1);
}

}  // namespace
}  // namespace zopp
