// The input script played by XTest into the screen probe's window on a private Xvfb server: the SDL
// window natively, the Win32 window under Wine (ZOPP_UNDER_WINE). Each step's records must be the ones
// the script expects; they are also written for the comparison with the other platforms. At a desktop
// scale of 2 (Xft.dpi 192 in the X resources, 192 dpi in Wine's registry) the window shows each pixel as a
// 2×2 block and the script, played at twice its positions, must post the same records.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "harness/desktop/x11_harness.h"
#include "harness/support/test_paths.h"
#include "tests/e2e/input_script.h"
#include "tests/e2e/probe_pattern.h"

namespace zopp::e2e {
namespace {

using namespace std::chrono_literals;

#ifdef ZOPP_UNDER_WINE
constexpr const char* kPlatform = "windows";
#else
constexpr const char* kPlatform = "linux";
#endif

// Plays the script's inputs into the window through the X server, as a user with a window manager would.
class Player {
  public:
    // scale: device pixels per screen pixel of the window
    Player(XSession& x, ::Window window, int scale) : x_(x), window_(window), scale_(scale) {}

    void play(const std::vector<std::string>& input) {
        const std::string& what = input.at(0);
        if (what == "open") {
            x_.activate(window_);  // what a window manager does with a new window
        } else if (what == "pointer") {
            x_.movePointer(window_, std::stoi(input.at(1)) * scale_, std::stoi(input.at(2)) * scale_);
        } else if (what == "press") {
            x_.press(buttonNumber(input.at(1)));
        } else if (what == "release") {
            x_.release(buttonNumber(input.at(1)));
        } else if (what == "wheel") {
            x_.click(wheelButton(input.at(1)));
        } else if (what == "key") {
            x_.pressKey(input.at(1));
            x_.releaseKey(input.at(1));
        } else if (what == "keydown") {
            x_.pressKey(input.at(1));  // again while down: the X server repeats it (see XvfbServer)
        } else if (what == "keyup") {
            x_.releaseKey(input.at(1));
        } else if (what == "focus" && input.at(1) == "away") {
            other_ = x_.cover(window_, -100, -100, 50, 50, 0x000000u);  // another program's window
            x_.focus(other_);
        } else if (what == "focus") {
            x_.activate(window_);
            x_.uncover(other_);
        } else if (what == "close") {
            x_.sendDeleteWindow(window_);
        } else {
            throw std::runtime_error("no such input: " + what);
        }
    }

  private:
    static unsigned buttonNumber(const std::string& name) {
        return name == "left" ? 1 : name == "middle" ? 2 : name == "right" ? 3 : 0;
    }
    // X's wheel steps are clicks of buttons 4 (up, away from the user), 5 (down), 6 (left) and 7 (right).
    static unsigned wheelButton(const std::string& direction) {
        return direction == "up" ? 4 : direction == "down" ? 5 : direction == "left" ? 6 : 7;
    }

    XSession& x_;
    ::Window window_;
    int scale_;
    ::Window other_ = 0;
};

// Each screen pixel of the probe's picture is a scale × scale block of its colour in the window.
std::string blockMismatch(XSession& x, ::Window window, int scale) {
    const int width = 640 * scale, height = 480 * scale;
    const std::vector<std::uint32_t> shown = x.pixels(window, width, height);
    if (shown.empty()) return "unreadable window";
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t expected = probeColour(x / scale, y / scale);
            const std::uint32_t pixel = shown[static_cast<std::size_t>(y) * width + x];
            if (pixel != expected)
                return "device pixel " + std::to_string(x) + "," + std::to_string(y) + ": " +
                       std::to_string(pixel) + ", not " + std::to_string(expected);
        }
    }
    return "";
}

class InputScriptPlayed : public ::testing::TestWithParam<int> {};

TEST_P(InputScriptPlayed, EveryStepPostsTheRecordsItExpects) {
    const int scale = GetParam();
    const InputScript script = readInputScript(testing::sourcePath("tests/e2e/input_script.txt"));
    const std::filesystem::path records = testing::buildPath("input-script/" + std::string(kPlatform));
    std::filesystem::create_directories(records.parent_path());
    if (scale == 1) std::filesystem::remove(records);  // the comparison must not find an earlier run's

    // Room for the window at twice the size, its frame and the drags past its edges.
    XvfbServer server(1024 * scale, 768 * scale);
    XSession x(server.display());
    x.movePointerOnRoot(0, 0);
#ifdef ZOPP_UNDER_WINE
    if (scale != 1) setenv("ZOPP_WINE_LOGPIXELS", std::to_string(96 * scale).c_str(), 1);
#else
    if (scale != 1) x.setResources("Xft.dpi:\t" + std::to_string(96 * scale) + "\n");
#endif
    LaunchedProgram probe(testing::buildPath(ZOPP_SCREEN_PROBE), {}, server.display());
    unsetenv("ZOPP_WINE_LOGPIXELS");
    ASSERT_TRUE(probe.waitForLine("ready", 30s)) << probe.standardError();  // Wine's first start is slow
    const ::Window window = x.waitForWindow("ZOPP screen probe");
    ASSERT_NE(window, 0u);
    const XSession::Geometry client = x.geometry(window);
    EXPECT_EQ(client.width, 640 * scale);
    EXPECT_EQ(client.height, 480 * scale);
    // Wine hands the window's parts over one after the other.
    std::string blocks;
    eventually([&] { return (blocks = blockMismatch(x, window, scale)).empty(); });
    EXPECT_EQ(blocks, "");

    Player player(x, window, scale);
    PlayedSteps played;
    std::size_t seen = 0;
    for (std::size_t index = 0; index < script.steps.size(); ++index) {
        const ScriptStep& step = script.steps[index];
        if (!script.plays(kPlatform, step)) continue;
        player.play(step.input);
        // Waiting for the step's records keeps the next input from overtaking them; a step that expects
        // none is followed at once, and anything it posts shows up among the next step's records.
        std::vector<Event> events;
        eventually([&] {
            events = eventsOf(probe.linesAfter("ready"));
            return events.size() >= seen + step.expected.size();
        });
        played[static_cast<int>(index)].assign(events.begin() + static_cast<std::ptrdiff_t>(seen),
                                               events.end());
        seen = events.size();
    }
    EXPECT_EQ(probe.wait(), 0);
    EXPECT_EQ(probe.standardError(), "");

    for (const auto& [index, posted] : played)
        EXPECT_EQ(mismatch(script.steps[static_cast<std::size_t>(index)], posted), "");
    if (scale == 1) writeRecords(records.string(), played);
}

INSTANTIATE_TEST_SUITE_P(DesktopScale, InputScriptPlayed, ::testing::Values(1, 2));

}  // namespace
}  // namespace zopp::e2e
