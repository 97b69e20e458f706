// The Windows build under Wine beside the Linux build, each on its own X server, fed the same clicks: every
// screen that does not depend on the dice is the same in every pixel. (The dice follow the timer, so the
// two games throw differently; the game tests check those screens against the rules instead.)
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "tests/e2e/screen_reading.h"
#include "tests/e2e/x11_harness.h"

namespace zopp::e2e {
namespace {

namespace fs = std::filesystem;

constexpr const char* kTitle = "ZOPP - V0.1(2008)";

// One build's game in a window of its own X server, started in the source folder beside dat\.
struct RunningGame {
    explicit RunningGame(const std::string& program) {
        const fs::path previous = fs::current_path();
        fs::current_path(ZOPP_SOURCE_DIR);
        game = std::make_unique<LaunchedProgram>(program, std::vector<std::string>{}, server.display());
        fs::current_path(previous);
        window = x.waitForWindow(kTitle, std::chrono::seconds(30));
    }
    void click(int px, int py) {
        x.movePointer(window, px, py);
        x.click(1);
    }

    XvfbServer server;
    XSession x{server.display()};
    std::unique_ptr<LaunchedProgram> game;
    ::Window window = 0;
};

// Both windows show the screen `done` accepts, and then the same pixels; false when either never does.
bool sameScreen(RunningGame& native, RunningGame& windows, const std::function<bool(const Picture&)>& done,
                std::string& difference) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    Picture a, b;
    while (std::chrono::steady_clock::now() < end) {
        a = grab(native.x, native.window);
        b = grab(windows.x, windows.window);
        if (done(a) && done(b) && a.pixels == b.pixels) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    for (int y = 0; y < a.height && y < b.height; ++y) {
        for (int x = 0; x < a.width && x < b.width; ++x) {
            if (a.at(x, y) != b.at(x, y)) {
                difference = "first difference at " + std::to_string(x) + "," + std::to_string(y);
                return false;
            }
        }
    }
    difference = "a screen never came";
    return false;
}

TEST(IdenticalScreens, SetupScreensAndTheFirstTurnMatchTheLinuxBuild) {
    const BoardPictures pictures{fs::path(ZOPP_SOURCE_DIR) / "dat"};
    RunningGame native(ZOPP_LINUX_GAME);
    RunningGame windows(ZOPP_GAME);
    ASSERT_NE(native.window, 0u);
    ASSERT_NE(windows.window, 0u) << windows.game->standardError();
    std::string difference;

    const auto setupShown = [&](const Picture& s) { return s.shows(430, 350, pictures.dieFaces[4]); };
    EXPECT_TRUE(sameScreen(native, windows, setupShown, difference)) << "setup screen: " << difference;

    for (RunningGame* game : {&native, &windows}) game->click(40, 100);  // the locked-dice rule
    const auto lockedTicked = [&](const Picture& s) { return s.shows(30, 90, pictures.checkmark1); };
    EXPECT_TRUE(sameScreen(native, windows, lockedTicked, difference)) << "locked rule: " << difference;

    for (RunningGame* game : {&native, &windows}) game->click(355, 375);  // three players
    const auto turnShown = [&](const Picture& s) { return !s.shows(430, 350, pictures.dieFaces[4]); };
    EXPECT_TRUE(sameScreen(native, windows, turnShown, difference)) << "first turn: " << difference;

    for (RunningGame* game : {&native, &windows}) {
        game->x.sendDeleteWindow(game->window);
        EXPECT_EQ(game->game->wait(std::chrono::seconds(20)), 0);
        EXPECT_EQ(game->game->standardError(), "");
    }
}

}  // namespace
}  // namespace zopp::e2e
