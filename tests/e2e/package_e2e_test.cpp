// The Debian package as a player gets it: unpacked with dpkg -x into a scratch folder and started through
// its launcher from an unrelated working directory, it shows the same setup screen as the build tree's
// game, pixel for pixel. Skipped while scripts/package has not built the package.
#include <gtest/gtest.h>

#include <unistd.h>
#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>

#include "harness/desktop/x11_harness.h"
#include "harness/support/test_paths.h"
#include "tests/e2e/screen_reading.h"

namespace zopp::e2e {
namespace {

namespace fs = std::filesystem;

constexpr const char* kTitle = "ZOPP - V0.1(2008)";
const fs::path kPackage = testing::sourcePath(ZOPP_PACKAGE_FILE);
const fs::path kDpkgDeb = "/usr/bin/dpkg-deb";

class PackageEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!fs::exists(kPackage)) GTEST_SKIP() << "no " << kPackage << ": scripts/package builds it";
        if (!fs::exists(kDpkgDeb)) GTEST_SKIP() << "no " << kDpkgDeb << " to unpack the package";
        scratch_ = fs::temp_directory_path() / ("zopp-package-" + std::to_string(::getpid()));
        fs::remove_all(scratch_);
        fs::create_directories(scratch_ / "elsewhere");
        LaunchedProgram unpack(kDpkgDeb, {"-x", kPackage.string(), (scratch_ / "root").string()}, "");
        ASSERT_EQ(unpack.wait(std::chrono::seconds(60)), 0) << unpack.standardError();
    }
    void TearDown() override {
        if (!scratch_.empty()) fs::remove_all(scratch_);
    }

    // Starts program in folder, grabs its window once the setup screen is complete (its last picture, the
    // player-count die 4, is shown) and closes it again.
    Picture setupScreen(const fs::path& program, const fs::path& folder) {
        const fs::path previous = fs::current_path();
        fs::current_path(folder);
        LaunchedProgram game(program, {}, server_.display());
        fs::current_path(previous);

        const ::Window window = x_.waitForWindow(kTitle);
        EXPECT_NE(window, 0u) << program << " opened no window: " << game.standardError();
        if (window == 0) return {};
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        Picture screen;
        try {
            screen = grab(x_, window);
            while (!screen.shows(430, 350, pictures_.dieFaces[4]) && std::chrono::steady_clock::now() < end) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                screen = grab(x_, window);
            }
        } catch (const std::runtime_error&) {  // the window went away: the game ended
            const int status = game.wait();
            ADD_FAILURE() << program << " ended with " << status << ": " << game.standardError();
            return {};
        }
        x_.sendDeleteWindow(window);
        EXPECT_EQ(game.wait(), 0) << program;
        EXPECT_EQ(game.standardError(), "") << program;
        return screen;
    }

    fs::path scratch_;
    XvfbServer server_;
    XSession x_{server_.display()};
    const BoardPictures pictures_{fs::path(testing::sourcePath("dat"))};
};

TEST_F(PackageEndToEnd, UnpackedLauncherShowsTheBuildTreesSetupScreenFromAnyFolder) {
    const Picture expected = setupScreen(testing::buildPath(ZOPP_GAME), testing::sourcePath());
    ASSERT_TRUE(expected.shows(430, 350, pictures_.dieFaces[4]))
        << "the build tree's setup screen never completed";

    const Picture shown = setupScreen(scratch_ / "root" / "usr" / "games" / "zopp", scratch_ / "elsewhere");
    ASSERT_EQ(shown.width, expected.width);
    ASSERT_EQ(shown.height, expected.height);
    int differing = 0;
    for (std::size_t i = 0; i < expected.pixels.size(); ++i)
        differing += shown.pixels[i] != expected.pixels[i];
    EXPECT_EQ(differing, 0) << "pixels differ from the build tree's setup screen; is " << kPackage
                            << " current? scripts/package rebuilds it";
}

}  // namespace
}  // namespace zopp::e2e
