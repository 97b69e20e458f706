// The real game in a window on a private Xvfb server, played with the pointer.
#include <gtest/gtest.h>

#include <unistd.h>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "tests/e2e/x11_harness.h"

namespace zopp::e2e {
namespace {

namespace fs = std::filesystem;

constexpr const char* kTitle = "ZOPP - V0.1(2008)";
constexpr std::uint32_t kRed = 0xEE0000;
constexpr std::uint32_t kYellow = 0xFFDD00;

// The window shows the frame buffer about every 10 ms; the loop polls every 2 ms.
void settle() {
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
}

// Runs the game with the given working folder, which is where it looks for dat\.
class GameEndToEnd : public ::testing::Test {
  protected:
    void TearDown() override {
        if (!previous_.empty()) fs::current_path(previous_);
    }
    std::unique_ptr<LaunchedProgram> start(const fs::path& folder, const std::string& display) {
        previous_ = fs::current_path();
        fs::current_path(folder);
        auto game = std::make_unique<LaunchedProgram>(ZOPP_GAME, std::vector<std::string>{}, display);
        fs::current_path(previous_);
        return game;
    }
    void clickAt(::Window window, int x, int y) {
        x_.movePointer(window, x, y);
        settle();
        x_.click(1);
        settle();
    }
    // Polls the condition for up to three seconds.
    template <typename Condition>
    bool waitUntil(Condition condition) {
        for (int i = 0; i < 300; ++i) {
            if (condition()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    bool anyPixel(::Window window, int left, int right, int y, std::uint32_t colour) {
        for (int x = left; x < right; ++x) {
            if (x_.pixel(window, x, y) == colour) return true;
        }
        return false;
    }

    XvfbServer server_;
    XSession x_{server_.display()};
    fs::path previous_;
};

TEST_F(GameEndToEnd, OnePlayerGameFromSetupToGameOverAndBack) {
    auto game = start(ZOPP_SOURCE_DIR, server_.display());
    const ::Window window = x_.waitForWindow(kTitle);
    ASSERT_NE(window, 0u) << game->standardError();
    const XSession::Geometry g = x_.geometry(window);
    EXPECT_EQ(g.width, 640);
    EXPECT_EQ(g.height, 480);
    // The window opens black; the setup screen follows once every picture has loaded.
    ASSERT_TRUE(waitUntil([&] { return x_.pixel(window, 5, 470) != 0x000000u; }));
    const std::uint32_t setupCorner = x_.pixel(window, 5, 470);

    // A point of the message button left of every text: it tells the button faces apart.
    const auto buttonFace = [&] { return x_.pixel(window, 374, 405); };
    const std::uint32_t setupButton = buttonFace();
    clickAt(window, 155, 375);  // one player
    ASSERT_TRUE(waitUntil([&] { return buttonFace() != setupButton; }));
    const std::uint32_t throwButton = buttonFace();

    const int rows[] = {1, 2, 3, 4, 5, 6, 9, 10, 11, 12, 13, 14, 15};
    for (int row : rows) {
        clickAt(window, 470, 405);  // first throw
        ASSERT_TRUE(waitUntil([&] { return buttonFace() != throwButton; })) << row;
        const std::uint32_t scoreButton = buttonFace();
        clickAt(window, 470, 405);  // no die picked up: straight to the scoreboard
        ASSERT_TRUE(waitUntil([&] { return buttonFace() != scoreButton; })) << row;
        const int y = (row <= 8 ? 20 * row + 5 : 20 * row + 10) + 10;
        EXPECT_TRUE(waitUntil([&] {
            return anyPixel(window, 170, 270, y - 2, kRed) || anyPixel(window, 170, 270, y + 2, kRed);
        })) << "candidate of row "
            << row;
        clickAt(window, 220, y);
        // The next turn, or the game over, shows the throw button again.
        ASSERT_TRUE(waitUntil([&] { return buttonFace() == throwButton; })) << row;
    }
    // The beep (250 ms) comes before the black strip.
    EXPECT_TRUE(waitUntil([&] { return x_.pixel(window, 5, 470) == 0x000000u; }));
    EXPECT_TRUE(anyPixel(window, 85, 525, 455, kYellow) || anyPixel(window, 85, 525, 458, kYellow));

    clickAt(window, 470, 405);  // "Neues Spiel ??"
    EXPECT_TRUE(waitUntil([&] { return x_.pixel(window, 5, 470) == setupCorner; }));

    x_.sendDeleteWindow(window);
    EXPECT_EQ(game->wait(), 0);
    EXPECT_EQ(game->standardError(), "");
}

TEST_F(GameEndToEnd, AMissingPictureEndsWithItsReport) {
    const fs::path folder = fs::temp_directory_path() / ("zopp-e2e-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    fs::copy(fs::path(ZOPP_SOURCE_DIR) / "dat", folder / "dat");
    fs::remove(folder / "dat" / "3.bmp");
    auto game = start(folder, server_.display());
    EXPECT_EQ(game->wait(), 2);
    EXPECT_EQ(game->standardError(),
              "\r\nAborting due to runtime error 2 (file not found) at line 129 of game/ZOPP.cpp()\r\n\r\n");
    fs::remove_all(folder);
}

TEST_F(GameEndToEnd, WithoutADisplayTheScreenReportIsLine109) {
    auto game = start(ZOPP_SOURCE_DIR, "");
    EXPECT_EQ(game->wait(), 1);
    EXPECT_EQ(
        game->standardError(),
        "\r\nAborting due to runtime error 1 (illegal function call) at line 109 of game/ZOPP.cpp()\r\n\r\n");
}

}  // namespace
}  // namespace zopp::e2e
