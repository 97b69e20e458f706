#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "harness/support/memory_screen_fixture.h"
#include "screen/drawing/blit.h"
#include "screen/drawing/line.h"
#include "screen/state/screen_values.h"

namespace zopp {
namespace {

constexpr std::uint32_t kBackground = 0xFF000000;
constexpr std::uint32_t kRed = 0x00FF0000;

using Pixels = std::set<std::pair<std::int32_t, std::int32_t>>;

class Lines : public testing::MemoryScreen {
  protected:
    void SetUp() override { MemoryScreen::SetUp(); }
    // Exactly the listed pixels have colour, all others the background.
    void expectOnly(const Pixels& drawn, std::uint32_t colour, std::int32_t w = 640, std::int32_t h = 480) {
        for (std::int32_t y = 0; y < h; ++y) {
            for (std::int32_t x = 0; x < w; ++x) {
                ASSERT_EQ(screenPixel(x, y), drawn.count({x, y}) ? colour : kBackground)
                    << "at " << x << "," << y;
            }
        }
    }
};

TEST_F(Lines, FilledBoxClampsToTheScreenLikeTheGamesStrip) {
    openMemoryScreen();
    clearDirty();
    drawLine(kScreen, 0, 433, 640, 480, 0x000000, LineFilledBox, 0xFFFF, 0);
    for (std::int32_t y = 0; y < 480; ++y) {
        EXPECT_EQ(lineDirty(y), y >= 433) << y;
        for (std::int32_t x = 0; x < 640; x += 639)
            EXPECT_EQ(screenPixel(x, y), y >= 433 ? 0u : kBackground);
    }
}

TEST_F(Lines, BoxesOutsideTheClipDrawNothing) {
    openMemoryScreen();
    clearDirty();
    drawLine(kScreen, 700, 0, 800, 10, kRed, LineFilledBox);
    drawLine(kScreen, -10, -10, -1, 500, kRed, LineBox);
    expectOnly({}, kRed);
    EXPECT_FALSE(lineDirty(0));
}

TEST_F(Lines, SlopedLineStepsByErrorTerm) {
    openMemoryScreen(16, 8);
    drawLine(kScreen, 0, 0, 4, 2, kRed, LineSegment);
    expectOnly({{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}, kRed, 16, 8);
}

TEST_F(Lines, ReversedLineCoversTheSamePixelsOnAxes) {
    openMemoryScreen(16, 8);
    drawLine(kScreen, 5, 6, 5, 2, kRed, LineSegment);
    drawLine(kScreen, 9, 1, 7, 1, kRed, LineSegment);
    expectOnly({{5, 2}, {5, 3}, {5, 4}, {5, 5}, {5, 6}, {7, 1}, {8, 1}, {9, 1}}, kRed, 16, 8);
}

TEST_F(Lines, StylePatternRotatesFromBitFifteenPerPosition) {
    openMemoryScreen(40, 4);
    drawLine(kScreen, 0, 1, 33, 1, kRed, LineSegment, 0xA000);  // positions 0 and 2 of every 16
    expectOnly({{0, 1}, {2, 1}, {16, 1}, {18, 1}, {32, 1}}, kRed, 40, 4);
}

TEST_F(Lines, ClippedLineKeepsItsSlope) {
    openMemoryScreen(16, 16);
    drawLine(kScreen, -8, -8, 23, 23, kRed, LineSegment);  // diagonal through the corners
    Pixels want;
    for (std::int32_t i = 0; i < 16; ++i)
        want.insert({i, i});
    expectOnly(want, kRed, 16, 16);
}

TEST_F(Lines, ClippedStyledLineStartsItsPatternAtTheFirstDrawnPoint) {
    openMemoryScreen();
    drawLine(kScreen, -5, 50, 40, 50, kRed, LineSegment, 0x8000);
    drawLine(kScreen, 100, -5, 100, 40, kRed, LineSegment, 0x8000);
    expectOnly({{0, 50}, {16, 50}, {32, 50}, {100, 0}, {100, 16}, {100, 32}}, kRed);
}

TEST_F(Lines, HugeCoordinatesClipWithoutWalkingTheLine) {
    openMemoryScreen(16, 8);
    drawLine(kScreen, -1e9f, 3, 1e9f, 3, kRed, LineSegment);
    drawLine(kScreen, -1e9f, -1e9f, -1e9f, 1e9f, kRed, LineSegment);  // wholly left
    Pixels want;
    for (std::int32_t x = 0; x < 16; ++x)
        want.insert({x, 3});
    expectOnly(want, kRed, 16, 8);
}

TEST_F(Lines, OutlineSkipsEdgesOutsideTheClip) {
    openMemoryScreen(16, 16);
    drawLine(kScreen, 4, 12, -5, 5, kRed, LineBox);  // left column off screen
    Pixels want;
    for (std::int32_t x = 0; x <= 4; ++x)
        want.insert({x, 5}), want.insert({x, 12});
    for (std::int32_t y = 5; y <= 12; ++y)
        want.insert({4, y});
    expectOnly(want, kRed, 16, 16);
}

TEST_F(Lines, OutlineCornersBelongToEveryVisibleEdge) {
    openMemoryScreen();
    drawLine(kScreen, 10, -5, 20, 5, kRed, LineBox);     // top edge above the screen
    drawLine(kScreen, 10, 470, 20, 490, kRed, LineBox);  // bottom edge below it
    drawLine(kScreen, 630, 10, 650, 20, kRed, LineBox);  // right edge right of it
    Pixels want;
    for (std::int32_t y = 0; y <= 5; ++y)
        want.insert({10, y}), want.insert({20, y});
    for (std::int32_t y = 470; y <= 479; ++y)
        want.insert({10, y}), want.insert({20, y});
    for (std::int32_t x = 10; x <= 20; ++x)
        want.insert({x, 5}), want.insert({x, 470});
    for (std::int32_t x = 630; x <= 639; ++x)
        want.insert({x, 10}), want.insert({x, 20});
    for (std::int32_t y = 10; y <= 20; ++y)
        want.insert({630, y});
    expectOnly(want, kRed);
}

TEST_F(Lines, OutlinePatternRunsRoundTheBox) {
    openMemoryScreen(16, 16);
    drawLine(kScreen, 1, 1, 4, 3, kRed, LineBox, 0x9249);  // every third position, clockwise from top left
    // Perimeter order: (1,1) (2,1) (3,1) (4,1) (4,2) (4,3) (3,3) (2,3) (1,3) (1,2)
    expectOnly({{1, 1}, {4, 1}, {3, 3}, {1, 2}}, kRed, 16, 16);
}

TEST_F(Lines, DefaultColourIsTheForeground) {
    openMemoryScreen(8, 8);
    drawLine(kScreen, 2, 2, 3, 2, kRed, LineSegment, 0xFFFF, DEFAULT_COLOR);
    expectOnly({{2, 2}, {3, 2}}, 0xFFFFFFFF, 8, 8);
}

TEST_F(Lines, ColourIsConvertedForSixteenBitScreens) {
    openMemoryScreen(8, 8, 16);
    drawLine(kScreen, 1, 1, 1, 1, 0x00FF8040, LineSegment);
    EXPECT_EQ(screenPixel(1, 1), 0xFC08u);  // 11111 100000 01000
}

TEST_F(Lines, AlphaDrawingBlendsOnFourByteTargets) {
    openMemoryScreen(8, 8, 32, ScreenNoSwitch | ScreenAlphaDrawing);
    drawLine(kScreen, 0, 0, 7, 7, 0x80FF0000, LineFilledBox);
    EXPECT_EQ(screenPixel(3, 3), 0xFF800000u);
}

TEST_F(Lines, PenTakesTheSecondPointForRelativeCalls) {
    openMemoryScreen(16, 16);
    drawLine(kScreen, 2, 2, 5, 5, kRed, LineSegment);
    drawLine(kScreen, 1, 0, 2, 0, kRed, LineSegment, 0xFFFF, CoordBothRelative);  // (6, 5) to (8, 5)
    Pixels want{{2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 5}, {7, 5}, {8, 5}};
    expectOnly(want, kRed, 16, 16);
}

}  // namespace
}  // namespace zopp
