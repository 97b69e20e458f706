#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "game/startup.h"
#include "harness/support/bmp_builder.h"
#include "harness/support/memory_screen_fixture.h"
#include "harness/support/test_paths.h"
#include "screen/state/screen_state.h"
#include "screen/text/text_mode.h"
#include "screen/window/screen.h"

namespace zopp::testing {
namespace {

namespace fs = std::filesystem;

// A one-colour 24-bit bitmap file (colour 0xRRGGBB).
void writeBitmap(const fs::path& file, std::int32_t width, std::int32_t height, std::uint32_t colour) {
    BmpLayout layout;
    layout.width = width;
    layout.height = height;
    layout.pixel = [colour](std::int32_t, std::int32_t) { return colour; };
    const std::vector<std::uint8_t> bytes = buildBmp(layout);
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

constexpr std::uint32_t kBackground = 0x336699;
constexpr std::uint32_t kTicked = 0x22AA22;

// A working folder with a complete dat/ of one-colour pictures.
class StartUp : public MemoryScreen {
  protected:
    void SetUp() override {
        MemoryScreen::SetUp();
        folder_ = fs::temp_directory_path() / ("zopp-startup-" + std::to_string(::getpid()));
        fs::create_directories(folder_ / "dat");
        const fs::path dat = folder_ / "dat";
        writeBitmap(dat / "background.bmp", 640, 480, kBackground);
        for (int face = 0; face <= 6; ++face) {
            writeBitmap(dat / (std::to_string(face) + ".bmp"), 50, 50,
                        0x101010u * static_cast<std::uint32_t>(face));
        }
        writeBitmap(dat / "scb0.bmp", 100, 20, 0xCCCCCC);
        writeBitmap(dat / "scb1.bmp", 100, 20, 0xAAAAFF);
        writeBitmap(dat / "lock0.bmp", 10, 10, 0x00FF00);
        writeBitmap(dat / "lock1.bmp", 10, 10, 0xFF0080);
        writeBitmap(dat / "button0.bmp", 200, 50, 0x888800);
        writeBitmap(dat / "button1.bmp", 200, 50, 0x008888);
        writeBitmap(dat / "checkmark0.bmp", 20, 20, 0x444444);
        // Smaller than its image: the rest keeps the image's fill.
        writeBitmap(dat / "checkmark1.bmp", 10, 10, kTicked);
        previous_ = fs::current_path();
        fs::current_path(folder_);
    }
    void TearDown() override {
        fs::current_path(previous_);
        fs::remove_all(folder_);
        MemoryScreen::TearDown();
    }

    fs::path folder_, previous_;
    GameState game{};
    MainLoop loop;
};

TEST_F(StartUp, OpensTheWindowLoadsEveryPictureAndShowsTheSetupScreen) {
    startGame(game, loop);
    EXPECT_EQ(windowTitle(), "ZOPP - V0.1(2008)");
    EXPECT_EQ(loop.phase, zopp::Setup);
    EXPECT_EQ(loop.mouseX, 0);
    ASSERT_NE(loop.event, nullptr);
    EXPECT_EQ(game.ruleVariant, Free);
    EXPECT_EQ(game.playerCount, 0);
    const ScreenState& screen = *currentScreen();
    EXPECT_EQ(std::tuple(screen.width, screen.height, screen.depth, screen.flags & 0xFFFF),
              std::tuple(640, 480, 32, std::uint32_t{ScreenNoSwitch}));
    EXPECT_EQ((std::array{game.colorBlack, game.colorGreen, game.colorRed, game.colorYellow,
                          game.defaultForeground, game.defaultBackground}),
              (std::array<std::uint32_t, 6>{0x000000, 0x008800, 0xEE0000, 0xFFDD00, 0x000000, 0}));
    // Every image at its fixed size in its slot, holding its own file's colour at the corner (magenta
    // where no file fills it).
    const std::tuple<const ImagePtr&, std::int32_t, std::int32_t, std::uint32_t> images[] = {
        {game.imgBackground, 640, 480, kBackground}, {game.imgDieFace[0], 50, 50, 0x000000},
        {game.imgDieFace[1], 50, 50, 0x101010},      {game.imgDieFace[2], 50, 50, 0x202020},
        {game.imgDieFace[3], 50, 50, 0x303030},      {game.imgDieFace[4], 50, 50, 0x404040},
        {game.imgDieFace[5], 50, 50, 0x505050},      {game.imgDieFace[6], 50, 50, 0x606060},
        {game.imgScoreCell[0], 100, 20, 0xCCCCCC},   {game.imgScoreCell[1], 100, 20, 0xAAAAFF},
        {game.imgLock[0], 10, 10, 0x00FF00},         {game.imgLock[1], 10, 10, 0xFF0080},
        {game.imgButton[0], 200, 50, 0x888800},      {game.imgButton[1], 200, 50, 0x008888},
        {game.imgButton[2], 200, 50, 0xFF00FF},      {game.imgCheckmark[0], 20, 20, 0x444444},
        {game.imgCheckmark[1], 20, 20, kTicked}};
    for (const auto& [image, width, height, colour] : images) {
        ASSERT_NE(image, nullptr) << width << "x" << height << " " << colour;
        EXPECT_EQ(std::tuple(image->width(), image->height(), image->pixel32(0, 0) & 0xFFFFFF),
                  std::tuple(width, height, colour));
    }
    EXPECT_EQ(screenPixel(0, 0) & 0xFFFFFF, kBackground);
    EXPECT_EQ(screenPixel(30, 40) & 0xFFFFFF, kTicked);
    EXPECT_EQ(screenPixel(49, 59) & 0xFFFFFF, 0xFF00FF);  // the magenta fill beyond the small bitmap
    EXPECT_EQ(screenPixel(130, 350) & 0xFFFFFF, 0x101010);
    // Last: the query redraws the grid, which clears the screen.
    EXPECT_EQ(setTextGrid(0, 0), 80 | (30 << 16));
}

TEST_F(StartUp, TheShippedPicturesAllLoad) {
    fs::current_path(testing::sourcePath());
    startGame(game, loop);
    EXPECT_EQ(loop.phase, zopp::Setup);
    // The setup screen shows the pictures as loaded, each at its place.
    EXPECT_EQ(screenPixel(5, 470), game.imgBackground->pixel32(5, 470));
    EXPECT_EQ(screenPixel(602, 97), game.imgLock[1]->pixel32(5, 5));
    EXPECT_EQ(screenPixel(455, 375), game.imgDieFace[4]->pixel32(25, 25));
    EXPECT_EQ(screenPixel(40, 50), game.imgCheckmark[1]->pixel32(10, 10));
}

TEST_F(StartUp, AMissingPictureStopsAtItsReportLine) {
    fs::remove(folder_ / "dat" / "3.bmp");
    EXPECT_EXIT(startGame(game, loop), ::testing::ExitedWithCode(2),
                "runtime error 2 \\(file not found\\) at line 129 of game/ZOPP\\.cpp");
}

TEST_F(StartUp, WithoutTheDatFolderTheBackgroundIsTheFirstToFail) {
    fs::remove_all(folder_ / "dat");
    EXPECT_EXIT(startGame(game, loop), ::testing::ExitedWithCode(2), "at line 117 of game/ZOPP\\.cpp");
}

}  // namespace
}  // namespace zopp::testing
