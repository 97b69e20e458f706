#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <limits>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "frame/events.h"
#include "frame/timing.h"
#include "harness/support/console_pipe.h"
#include "harness/support/memory_screen_fixture.h"
#include "screen/backend/backend.h"
#include "screen/backend/input.h"
#include "screen/drawing/geometry.h"
#include "screen/drawing/line.h"
#include "screen/images/image.h"
#include "screen/null/null_backend.h"
#include "screen/state/screen_state.h"
#include "screen/text/text.h"
#include "screen/text/text_mode.h"
#include "screen/window/backend_choice.h"
#include "screen/window/screen.h"

namespace zopp {
namespace {

using testing::MemoryScreen;

constexpr std::uint32_t kRed = 0x00FF0000;

// The pixel size of the open screen, as the images it creates by default have it.
std::int32_t screenBytesPerPixel() {
    const ImagePtr image = createImage(1, 1);
    return image ? image->bytesPerPixel() : 0;
}

class ScreenTest : public MemoryScreen {
  protected:
    // The height of the current built-in font: the rows a full block glyph (0xDB) covers at the top left.
    std::int32_t fontHeight() const {
        EXPECT_EQ(drawText(kScreen, 0, 0, 0, "\xDB", kRed), 0);
        std::int32_t height = 0;
        while (height < 20 && screenPixel(0, height) == kRed)
            ++height;
        return height;
    }
};

class ScreenOpen : public ScreenTest {};

TEST_F(ScreenOpen, Depth24OpensFourBytesPerPixelLikeDepth32) {
    ASSERT_EQ(openScreen(640, 480, 24, 0, 4, 0), 0);
    EXPECT_EQ(screenBytesPerPixel(), 4);
    EXPECT_EQ(setColors(0, 0, 0), 0xFFFFFFFFu) << "the fresh foreground is the colour mask";
    setColors(0x00123456, 0, 0);
    EXPECT_EQ(setColors(0, 0, 0), 0x00123456u) << "colours are stored unchanged";
    EXPECT_EQ(screenPixel(639, 479), 0xFF000000u);
}

TEST_F(ScreenOpen, Depth15IsStoredAs16) {
    ASSERT_EQ(openScreen(320, 200, 15, 3, 0, 0), 0);
    EXPECT_EQ(screenBytesPerPixel(), 2);
    EXPECT_EQ(setColors(0, 0, 0), 0xFFFFu);
}

TEST_F(ScreenOpen, PalettedDepthsKeepOneBytePerPixelAndTheirMask) {
    // Depth, mask, and the default palette's colour at the fresh foreground.
    for (const auto& [depth, mask, colour] :
         {std::tuple{1, 1u, 0xFFFFFFu}, {2, 3u, 0x00AAAAu}, {4, 15u, 0xFFFFFFu}, {8, 255u, 0xFFFFFFu}}) {
        ASSERT_EQ(openScreen(64, 32, depth, 0, 0, 0), 0) << depth;
        EXPECT_EQ(screenBytesPerPixel(), 1);
        // The mask shows in the fresh foreground of depths 1 to 4; depths 5 to 8 start at 15.
        const std::uint32_t foreground = setColors(0, 0, 0);
        EXPECT_EQ(foreground, depth == 8 ? 15u : mask) << depth;
        EXPECT_EQ(currentScreen()->palette[foreground], colour) << depth;
    }
}

TEST_F(ScreenOpen, RejectedArgumentsOpenNothing) {
    EXPECT_EQ(openScreen(640, 480, 12, 0, 4, 0), 1);
    EXPECT_FALSE(screenIsOpen());
    EXPECT_EQ(openScreen(0, 480, 32, 0, 4, 0), 1);
    EXPECT_EQ(openScreen(640, -1, 32, 0, 4, 0), 1);
    EXPECT_FALSE(screenIsOpen());
    EXPECT_EQ(pollEvent(nullptr), 0);
    EXPECT_EQ(openScreen(1, 1, 32, 0, 4, 0), 0) << "the smallest screen";
}

TEST_F(ScreenOpen, PagesOfTwoGibibytesOrMoreAreRefusedBeforeAllocating) {
    EXPECT_EQ(openScreen(65536, 65536, 32, 0, 4, 0), 1);
    EXPECT_EQ(openScreen(2147483647, 2, 8, 0, 4, 0), 1);
    EXPECT_FALSE(screenIsOpen());
}

TEST_F(ScreenOpen, RejectedArgumentsLeaveTheOpenScreenAlone) {
    openMemoryScreen();
    setColors(0x00123456, 0, 0);
    drawLine(kScreen, 5, 5, 5, 5, kRed, LineSegment);
    EXPECT_EQ(openScreen(640, 480, 7, 0, 4, 0), 1);
    ASSERT_TRUE(screenIsOpen());
    EXPECT_EQ(screenPixel(5, 5), kRed);
    EXPECT_EQ(setColors(0, 0, 0), 0x00123456u);
}

TEST_F(ScreenOpen, SecondOpenStartsAFreshDrawingContext) {
    openMemoryScreen();
    setColors(0x00123456, 0x00654321, 0);
    setGraphicsView(0, 0, 9, 9);
    openMemoryScreen(320, 240, 16);
    EXPECT_EQ(setColors(0, 0, 0), 0xFFFFu) << "the new screen's default foreground";
    drawLine(kScreen, 0, 0, 400, 300, 0xFFFFFF, LineFilledBox);  // the view is the whole new screen
    EXPECT_EQ(screenPixel(319, 239), 0xFFFFu);
    EXPECT_EQ(setTextGrid(0, 0), 40 | (30 << 16));
}

TEST_F(ScreenOpen, PagesStartFilledWithTheBackgroundAndAllLinesDirty) {
    openMemoryScreen();
    EXPECT_EQ(screenPixel(0, 0), 0xFF000000u);
    EXPECT_EQ(screenPixel(639, 479), 0xFF000000u);
    EXPECT_TRUE(lineDirty(0));
    EXPECT_TRUE(lineDirty(479));
}

TEST_F(ScreenOpen, GridStartsAt8x8Cells) {
    openMemoryScreen();
    EXPECT_EQ(setTextGrid(0, 0), 80 | (60 << 16));
    EXPECT_EQ(fontHeight(), 8);
}

// Standard input replaced by a pipe holding one typed key, for as long as it lives.
class TypedConsoleKey {
  public:
    TypedConsoleKey() {
        EXPECT_TRUE(testing::openConsolePipe(ends_));
        savedStdin_ = dup(STDIN_FILENO);
        EXPECT_EQ(dup2(ends_[0], STDIN_FILENO), STDIN_FILENO);
        EXPECT_EQ(write(ends_[1], "x", 1), 1);
    }
    ~TypedConsoleKey() {
        dup2(savedStdin_, STDIN_FILENO);
        close(savedStdin_);
        close(ends_[0]);
        close(ends_[1]);
    }
    TypedConsoleKey(const TypedConsoleKey&) = delete;
    TypedConsoleKey& operator=(const TypedConsoleKey&) = delete;

  private:
    int ends_[2]{-1, -1};
    int savedStdin_ = -1;
};

// A long sleep that a waiting key cuts short returns at its first check.
bool longSleepSeesTheKey() {
    const auto start = std::chrono::steady_clock::now();
    sleepMs(2000);
    return std::chrono::steady_clock::now() - start < std::chrono::milliseconds(1000);
}

TEST_F(ScreenOpen, WithoutAScreenSleepingWatchesTheConsoleAgain) {
    openMemoryScreen();
    closeScreen();
    {
        const TypedConsoleKey key;
        EXPECT_TRUE(longSleepSeesTheKey()) << "after closeScreen";
    }
    EXPECT_EQ(openScreen(640, 480, 32, 0, ScreenOpenGL, 0), 1);  // no back-end here draws with OpenGL
    const TypedConsoleKey key;
    EXPECT_TRUE(longSleepSeesTheKey()) << "after a failed openScreen";
}

TEST_F(ScreenOpen, WhileOpenSleepingWatchesTheWindowsKeys) {
    openMemoryScreen();
    {
        ScreenLock lock;
        pushKey('x');
    }
    sleepMs(100);  // long enough to watch for keys: it takes the window's
    EXPECT_FALSE(takeKeyPressed());
}

TEST(WindowTitle, KeepsThe127FirstCharactersAcrossOpens) {
    const std::string longTitle(200, 'x');
    setWindowTitle(longTitle + "tail");
    EXPECT_EQ(windowTitle(), std::string(127, 'x'));
    setWindowTitle("ZOPP - V0.1(2008)");
    EXPECT_EQ(windowTitle(), "ZOPP - V0.1(2008)");
}

// Back-ends that record how they were started, to check the order of attempts.
std::vector<std::pair<std::int32_t, std::int32_t>> attempts;
int windowsDestroyed = 0;

class RefusingBackend final : public NullBackend {
  public:
    bool createWindow(ScreenState& screen, std::int32_t rate, std::string_view, EventTranslator&) override {
        attempts.emplace_back(static_cast<std::int32_t>(screen.flags & 0xFFFF), rate);
        return false;
    }
    void destroyWindow() override { ++windowsDestroyed; }
};
std::unique_ptr<Backend> makeRefusing(std::int32_t) {
    return std::make_unique<RefusingBackend>();
}
constexpr BackendFactory kRefusingOnly[] = {makeRefusing};

class BackendChoice : public ::testing::Test {
  protected:
    void SetUp() override {
        attempts.clear();
        windowsDestroyed = 0;
        setBackendFactories(kRefusingOnly);
    }
    void TearDown() override { setBackendFactories({}); }
};

TEST_F(BackendChoice, ShapedImpliesNoSwitchAndNoFrame) {
    EXPECT_EQ(openScreen(640, 480, 32, 0, ScreenShaped, 0), 1);
    ASSERT_FALSE(attempts.empty());
    EXPECT_EQ(attempts[0].first, ScreenShaped | ScreenNoSwitch | ScreenNoFrame);
}

TEST_F(BackendChoice, EachBackendTriesTheRateThenZeroThenFullScreenInverted) {
    using Attempts = std::vector<std::pair<std::int32_t, std::int32_t>>;
    for (const auto& [flags, expected] : {std::pair{4, Attempts{{4, 75}, {4, 0}, {5, 75}, {5, 0}}},
                                          {5, Attempts{{5, 75}, {5, 0}, {4, 75}, {4, 0}}}}) {
        attempts.clear();
        windowsDestroyed = 0;
        EXPECT_EQ(openScreen(640, 480, 32, 0, flags, 75), 1);
        EXPECT_EQ(attempts, expected);
        EXPECT_EQ(windowsDestroyed, 4);  // each failed start is shut down
        EXPECT_FALSE(screenIsOpen());
        EXPECT_EQ(pollEvent(nullptr), 0);
    }
}

class TextGrid : public ScreenTest {};

TEST_F(TextGrid, EightBySixteenCellsSelectTheFontAndClear) {
    openMemoryScreen();
    setColors(0, 0x00123456, 0);
    clearDirty();
    EXPECT_EQ(setTextGrid(80, 30), 0);
    EXPECT_EQ(setTextGrid(0, 0), 80 | (30 << 16));
    EXPECT_EQ(screenPixel(320, 240), 0x00123456u);
    EXPECT_TRUE(lineDirty(0));
    EXPECT_TRUE(lineDirty(479));
    EXPECT_EQ(fontHeight(), 16);
}

TEST_F(TextGrid, UnacceptedCellsChangeNothingButStillReturnZero) {
    openMemoryScreen();
    clearDirty();
    EXPECT_EQ(setTextGrid(100, 30), 0);  // cells 6 wide
    EXPECT_EQ(setTextGrid(80, 40), 0);   // cells 12 high
    EXPECT_FALSE(lineDirty(0));
    EXPECT_EQ(setTextGrid(0, 0), 80 | (60 << 16));
    EXPECT_EQ(fontHeight(), 8);
}

TEST_F(TextGrid, GridTakesTheGivenCountsWhenTheCellsFit) {
    openMemoryScreen();
    EXPECT_EQ(setTextGrid(79, 30), 0);  // 640 / 79 is still 8
    EXPECT_EQ(setTextGrid(0, 0), 79 | (30 << 16));
}

TEST_F(TextGrid, OneOmittedSideKeepsItsCellSize) {
    openMemoryScreen();
    EXPECT_EQ(setTextGrid(0, 480 / 14), 0);
    EXPECT_EQ(fontHeight(), 14);
    EXPECT_EQ(setTextGrid(0, 0), 80 | (34 << 16));
}

TEST_F(TextGrid, QueryReturnsTheGridBeforeTheCall) {
    openMemoryScreen(320, 200, 32);
    EXPECT_EQ(setTextGrid(-1, 0), 40 | (25 << 16));
}

TEST_F(TextGrid, ScreenSmallerThanOneCellHasAnEmptyGridAndSurvivesAQuery) {
    openMemoryScreen(4, 4, 32);
    EXPECT_EQ(setTextGrid(0, 0), 0);
    EXPECT_EQ(setTextGrid(1, 1), 0);
    EXPECT_EQ(setTextGrid(0, 0), 0);
}

class Colours : public MemoryScreen {};

TEST_F(Colours, FreshScreenForegroundIsTheColourMask) {
    openMemoryScreen();
    EXPECT_EQ(setColors(0, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(setColors(0, 0, 0), 0u);
}

TEST_F(Colours, WhichBitsKeepForegroundOrBackground) {
    openMemoryScreen();
    setColors(0x111111, 0x222222, 0);
    setColors(0x333333, 0x444444, 1);  // keeps the foreground
    EXPECT_EQ(setColors(0, 0, 3), 0x111111u);
    clearScreen(0);
    EXPECT_EQ(screenPixel(0, 0), 0x444444u);
    setColors(0x555555, 0x666666, 2);  // keeps the background
    EXPECT_EQ(setColors(0, 0, 3), 0x555555u);
    clearScreen(0);
    EXPECT_EQ(screenPixel(0, 0), 0x444444u);
}

TEST_F(Colours, SixteenBitScreensStoreFiveSixFive) {
    openMemoryScreen(64, 64, 16);
    EXPECT_EQ(setColors(0xFF8040, 0, 0), 0xFFFFu);
    EXPECT_EQ(setColors(0, 0, 0), 0xFC08u);  // 11111 100000 01000
}

TEST_F(Colours, PalettedScreensKeepTheLowByteAndStartWhiteOnBlack) {
    openMemoryScreen(64, 64, 8);
    EXPECT_EQ(screenPixel(0, 0), 0u) << "the default background";
    EXPECT_EQ(setColors(0x1234, 0, 0), 15u);
    EXPECT_EQ(setColors(0, 0, 0), 0x34u);
}

class Clearing : public MemoryScreen {};

TEST_F(Clearing, DefaultModeAfterBlackColoursFillsWithZero) {
    openMemoryScreen();
    setColors(0, 0, 0);
    clearDirty();
    clearScreen(NO_ARGUMENT);
    EXPECT_EQ(screenPixel(0, 0), 0u);
    EXPECT_EQ(screenPixel(639, 479), 0u);
    EXPECT_TRUE(lineDirty(240));
    drawLine(kScreen, 0, 0, 0, 0, kRed, LineSegment, 0xFFFF, CoordBothRelative);  // one pixel at the pen
    EXPECT_EQ(screenPixel(320, 240), kRed) << "the pen moved to the centre";
}

TEST_F(Clearing, GraphicsViewModeFillsOnlyTheView) {
    openMemoryScreen();
    setColors(0, 0x00ABCDEF, 0);
    setGraphicsView(10, 20, 19, 29);
    clearDirty();
    clearScreen(NO_ARGUMENT);  // a graphics view is set: mode 1
    EXPECT_EQ(screenPixel(10, 20), 0x00ABCDEFu);
    EXPECT_EQ(screenPixel(19, 29), 0x00ABCDEFu);
    EXPECT_EQ(screenPixel(9, 20), 0xFF000000u);
    EXPECT_EQ(screenPixel(20, 29), 0xFF000000u);
    EXPECT_EQ(screenPixel(10, 30), 0xFF000000u);
    EXPECT_FALSE(lineDirty(19));
    EXPECT_TRUE(lineDirty(20));
    EXPECT_TRUE(lineDirty(29));
    EXPECT_FALSE(lineDirty(30));
}

TEST_F(Clearing, TextViewModeClearsItsRowsOnly) {
    openMemoryScreen();
    setColors(0, 0x00010203, 0);
    setTextView(2, 3);         // 8-pixel rows: lines 8 to 23
    clearScreen(NO_ARGUMENT);  // the text view is not the whole grid: mode 2
    EXPECT_EQ(screenPixel(5, 7), 0xFF000000u);
    EXPECT_EQ(screenPixel(5, 8), 0x00010203u);
    EXPECT_EQ(screenPixel(639, 23), 0x00010203u);
    EXPECT_EQ(screenPixel(5, 24), 0xFF000000u);
}

TEST_F(Clearing, ModeZeroIgnoresTheGraphicsView) {
    openMemoryScreen();
    setColors(0, 0x00FFFFFF, 0);
    setGraphicsView(0, 0, 9, 9);
    clearScreen(0);
    EXPECT_EQ(screenPixel(600, 400), 0x00FFFFFFu);
    drawLine(kScreen, 0, 0, 0, 0, kRed, LineSegment, 0xFFFF, CoordBothRelative);
    EXPECT_EQ(screenPixel(5, 5), kRed) << "the pen moved to the centre of the view";
}

TEST_F(Clearing, UnknownModeChangesNothing) {
    openMemoryScreen();
    setColors(0, 0x00FFFFFF, 0);
    clearScreen(7);
    EXPECT_EQ(screenPixel(0, 0), 0xFF000000u);
}

TEST_F(Clearing, NothingHappensWithoutAScreen) {
    clearScreen(0);
    EXPECT_EQ(setColors(1, 2, 0), 0u);
    EXPECT_FALSE(screenIsOpen());
}

TEST(Coordinates, RoundHalfAwayFromZeroAndSaturate) {
    EXPECT_EQ(roundCoordinate(10.5f), 11);
    EXPECT_EQ(roundCoordinate(-10.5f), -11);
    EXPECT_EQ(roundCoordinate(0.4f), 0);
    EXPECT_EQ(roundCoordinate(-0.4f), 0);
    EXPECT_EQ(roundCoordinate(1e20f), 2147483647);
    EXPECT_EQ(roundCoordinate(-1e20f), -2147483647 - 1);
    EXPECT_EQ(roundCoordinate(std::numeric_limits<float>::quiet_NaN()), 0);
}

TEST(ScreenLockCount, NestedTakesOnlyCountAndBlockOtherThreadsUntilTheLastRelease) {
    lockScreen();
    lockScreen();
    EXPECT_EQ(screenLockDepth(), 2);
    std::atomic<bool> entered{false};
    std::thread other([&] {
        lockScreen();
        entered = true;
        unlockScreen();
    });
    unlockScreen();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(entered.load());
    unlockScreen();
    other.join();
    EXPECT_TRUE(entered.load());
    EXPECT_EQ(screenLockDepth(), 0);
}

TEST(ScreenLockCount, CompleteReleaseDropsEveryHold) {
    lockScreen();
    lockScreen();
    lockScreen();
    releaseScreenLockCompletely();
    EXPECT_EQ(screenLockDepth(), 0);
    std::thread([] { ScreenLock lock; }).join();  // would hang if a hold were left
}

}  // namespace
}  // namespace zopp
