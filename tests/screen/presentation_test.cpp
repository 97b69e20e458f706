#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <tuple>
#include <vector>

#include "screen/backend/window_lines.h"
#include "screen/backend/window_placement.h"
#include "screen/backend/window_scale.h"
#include "screen/backend/window_shape.h"
#include "screen/state/screen_state.h"

namespace zopp {
namespace {

ScreenState makeScreen(std::int32_t width, std::int32_t height, std::int32_t depth) {
    ScreenState screen;
    screen.width = width;
    screen.height = height;
    screen.depth = depth;
    screen.bytesPerPixel = (depth + 7) / 8;
    screen.pitch = screen.bytesPerPixel * width;
    screen.colourMask = depth == 32 ? 0xFFFFFFFFu : depth == 16 ? 0xFFFFu : (1u << depth) - 1u;
    screen.pages.assign(1, std::vector<std::uint8_t>(static_cast<std::size_t>(screen.pitch * height)));
    screen.dirty.assign(static_cast<std::size_t>(height), 0);
    return screen;
}

std::size_t spansOf(ScreenState& screen, std::array<LineSpan, 4>& spans) {
    return takeDirtySpans(screen, spans);
}

TEST(DirtySpans, NothingDirtyGivesNoSpan) {
    ScreenState screen = makeScreen(4, 100, 32);
    std::array<LineSpan, 4> spans;
    EXPECT_EQ(spansOf(screen, spans), 0u);
}

TEST(DirtySpans, CloseRunsMergeAndFarRunsStaySeparate) {
    ScreenState screen = makeScreen(4, 100, 32);
    markDirty(screen, 2, 3);
    markDirty(screen, 10, 10);  // 6 clean lines apart: merged
    markDirty(screen, 60, 61);  // far away: its own span
    std::array<LineSpan, 4> spans;
    ASSERT_EQ(spansOf(screen, spans), 2u);
    EXPECT_EQ(spans[0].first, 2);
    EXPECT_EQ(spans[0].last, 10);
    EXPECT_EQ(spans[1].first, 60);
    EXPECT_EQ(spans[1].last, 61);
    for (std::uint8_t flag : screen.dirty)
        EXPECT_EQ(flag, 0);
}

TEST(DirtySpans, RunsBeyondTheLastSpanJoinIt) {
    ScreenState screen = makeScreen(4, 200, 32);
    for (int y = 0; y < 200; y += 30)
        markDirty(screen, y, y);
    std::array<LineSpan, 4> spans;
    ASSERT_EQ(spansOf(screen, spans), 4u);
    EXPECT_EQ(spans[3].first, 90);
    EXPECT_EQ(spans[3].last, 180);
}

TEST(DirtySpans, MarkingIsClampedToTheScreen) {
    ScreenState screen = makeScreen(4, 40, 32);
    markDirty(screen, -5, 2);
    markDirty(screen, 30, 50);
    std::array<LineSpan, 4> spans;
    ASSERT_EQ(spansOf(screen, spans), 2u);
    EXPECT_EQ(spans[0].first, 0);
    EXPECT_EQ(spans[0].last, 2);
    EXPECT_EQ(spans[1].first, 30);
    EXPECT_EQ(spans[1].last, 39);
}

TEST(LineConversion, ThirtyTwoBitLinesDropAlphaInOtherLayouts) {
    ScreenState screen = makeScreen(2, 1, 32);
    const std::uint32_t pixels[2] = {0x00FF8040, 0xFF0000FF};
    std::memcpy(screen.pages[0].data(), pixels, 8);
    const PixelLayout rgb565{2, 11, 5, 0, 3, 2, 3};
    std::uint16_t out[2];
    convertLine(screen, 0, rgb565, reinterpret_cast<std::uint8_t*>(out));
    EXPECT_EQ(out[0], 0xFC08);
    EXPECT_EQ(out[1], 0x001F);
    const PixelLayout abgr{4, 0, 8, 16, 0, 0, 0};
    std::uint32_t wide[2];
    convertLine(screen, 0, abgr, reinterpret_cast<std::uint8_t*>(wide));
    EXPECT_EQ(wide[0], 0x004080FFu);
    EXPECT_EQ(wide[1], 0x00FF0000u);
}

TEST(LineConversion, ACanvasTakesRedGreenBlueBytesAndAnOpaqueAlpha) {
    ScreenState screen = makeScreen(2, 2, 32);
    // Line 1, stored as B, G, R, A: 0x00123456 (the game's alpha 0) and 0x80ABCDEF.
    const std::uint8_t pixels[8] = {0x56, 0x34, 0x12, 0x00, 0xEF, 0xCD, 0xAB, 0x80};
    std::memcpy(screen.pages[0].data() + screen.pitch, pixels, 8);
    const PixelLayout rgba{4, 0, 8, 16, 0, 0, 0, 0xFF000000u};
    std::array<std::uint8_t, 8> out{};
    convertLine(screen, 1, rgba, out.data());
    EXPECT_EQ(out, (std::array<std::uint8_t, 8>{0x12, 0x34, 0x56, 0xFF, 0xAB, 0xCD, 0xEF, 0xFF}));
}

TEST(LineConversion, SixteenBitPixelsWidenToFullIntensity) {
    ScreenState screen = makeScreen(2, 1, 16);
    const std::uint16_t pixels[2] = {0xFFFF, 0x07E0};
    std::memcpy(screen.pages[0].data(), pixels, 4);
    std::uint32_t out[2];
    convertLine(screen, 0, PixelLayout{}, reinterpret_cast<std::uint8_t*>(out));
    EXPECT_EQ(out[0], 0x00FFFFFFu);
    EXPECT_EQ(out[1], 0x0000FF00u);
}

TEST(LineConversion, PalettedPixelsIndexThePaletteUnderTheMask) {
    ScreenState screen = makeScreen(3, 1, 4);
    screen.palette[1] = 0x00112233;
    screen.palette[15] = 0x00FFFFFF;
    const std::uint8_t pixels[3] = {1, 15, 0x11};  // 0x11 masks to 1
    std::memcpy(screen.pages[0].data(), pixels, 3);
    std::uint32_t out[3];
    convertLine(screen, 0, PixelLayout{}, reinterpret_cast<std::uint8_t*>(out));
    EXPECT_EQ(out[0], 0x00112233u);
    EXPECT_EQ(out[1], 0x00FFFFFFu);
    EXPECT_EQ(out[2], 0x00112233u);
}

// Every back-end's present walks the spans this way: clipped to the screen, each converted at its own lines.
TEST(LineConverter, HandsEachSpanClippedAndConvertedAndA32BitPageInItsLayoutUncopied) {
    ScreenState screen = makeScreen(2, 4, 32);
    for (std::size_t i = 0; i < screen.pages[0].size(); i += 4)
        screen.pages[0][i] = static_cast<std::uint8_t>(i / 8);  // each line's blue is its number
    const std::array<LineSpan, 2> spans{{{0, 0}, {2, 9}}};
    for (const PixelLayout& layout : {PixelLayout{}, PixelLayout{4, 0, 8, 16}}) {
        LineConverter converter(layout);
        std::vector<std::tuple<std::int32_t, std::int32_t, std::uint8_t>> handed;
        converter.forEachSpan(screen, spans, [&](const ConvertedLines& lines) {
            const std::uint8_t lastBlue = lines.pixels[(lines.count - 1) * 8 + (layout.blueShift / 8)];
            handed.emplace_back(lines.first, lines.count, lastBlue);
            EXPECT_EQ(lines.pixels == screen.visiblePixels() + lines.first * 8, layout.matchesScreen32());
        });
        EXPECT_EQ(handed,
                  (std::vector<std::tuple<std::int32_t, std::int32_t, std::uint8_t>>{{0, 1, 0}, {2, 2, 3}}));
    }
}

TEST(WindowPlace, CentredByTheOuterSizeHalvedByAnArithmeticShift) {
    const WindowPosition place = centredOnDesktop(1024, 768, 646, 509);  // a frame and caption around 640×480
    EXPECT_EQ(place.x, 189);                                             // 378 / 2
    EXPECT_EQ(place.y, 129);                                             // 259 / 2, rounded down
    const WindowPosition larger = centredOnDesktop(640, 480, 647, 500);
    EXPECT_EQ(larger.x, -4);  // -7 >> 1: towards minus infinity, not towards zero
    EXPECT_EQ(larger.y, -10);
}

// A laptop's 1366×768 with a panel, and a 4K screen with one; both with a frame and caption of 16×39.
constexpr DesktopScale kSmallDesktop{1.0, 1366, 728, 16, 39};
constexpr DesktopScale kLargeDesktop{1.0, 3840, 2100, 16, 39};

TEST(WindowScale, NearestWholeFactorHalvesUpThatFitsTheWorkArea) {
    struct Row {
        double scale;
        std::int32_t onSmall, onLarge;
    };
    // 2 would need 1280×960 and the frame: too high for the small work area.
    constexpr Row rows[] = {{1.0, 1, 1}, {1.25, 1, 1}, {1.5, 1, 2}, {1.75, 1, 2},
                            {2.0, 1, 2}, {2.5, 1, 3},  {3.0, 1, 3}};
    for (const Row& row : rows) {
        DesktopScale small = kSmallDesktop, large = kLargeDesktop;
        small.scale = large.scale = row.scale;
        EXPECT_EQ(windowScale(small, 640, 480), row.onSmall) << row.scale;
        EXPECT_EQ(windowScale(large, 640, 480), row.onLarge) << row.scale;
    }
    // Exactly fitting is fitting; a desktop too small even for 1 still gets 1.
    EXPECT_EQ(windowScale(DesktopScale{3.0, 1936, 1479, 16, 39}, 640, 480), 3);
    EXPECT_EQ(windowScale(DesktopScale{2.0, 320, 200, 16, 39}, 640, 480), 1);
}

TEST(WindowScale, ForcedOnlyByAWholeNumberInRange) {
    EXPECT_EQ(forcedScale("1"), 1);
    EXPECT_EQ(forcedScale("8"), 8);
    for (const char* ignored : {"", "0", "9", "-2", "1.5", "2x", "two"})
        EXPECT_EQ(forcedScale(ignored), std::nullopt) << ignored;
}

// A pixel's alpha byte at (x, y) of a 32-bit screen.
void setAlpha(ScreenState& screen, std::int32_t x, std::int32_t y, std::uint8_t alpha) {
    screen.pages[0][static_cast<std::size_t>(y * screen.pitch + x * 4 + 3)] = alpha;
}

using LineRun = std::tuple<std::int32_t, std::int32_t, std::int32_t>;  // line, first pixel, end

std::vector<LineRun> runsOf(const ScreenState& screen) {
    std::vector<LineRun> runs;
    for (const ShapeRun& run : shapeRuns(screen))
        runs.emplace_back(run.y, run.first, run.end);
    return runs;
}

TEST(WindowShape, RunsOfPixelsWithAlphaShowEvenWhereTheyReachTheLineEnd) {
    ScreenState screen = makeScreen(6, 2, 32);
    for (const std::int32_t x : {1, 2, 5})
        setAlpha(screen, x, 0, 1);
    setAlpha(screen, 0, 1, 0xFF);
    EXPECT_EQ(runsOf(screen), (std::vector<LineRun>{{0, 1, 3}, {0, 5, 6}, {1, 0, 1}}));
}

TEST(WindowShape, ScreensWithoutAlphaShowWhole) {
    EXPECT_EQ(runsOf(makeScreen(5, 2, 16)), (std::vector<LineRun>{{0, 0, 5}, {1, 0, 5}}));
    EXPECT_TRUE(runsOf(makeScreen(5, 2, 32)).empty());  // all alpha 0: nothing shows
}

}  // namespace
}  // namespace zopp
