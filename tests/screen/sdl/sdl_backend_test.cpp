// The SDL back-end with its real refresh thread on SDL's window-less "dummy" driver.
#include <SDL.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "frame/events.h"
#include "screen/backend/input.h"
#include "screen/state/screen_state.h"
#include "screen/window/screen.h"

namespace zopp {
namespace {

// A hang detector: what it waits for comes within milliseconds on any machine, however busy.
bool waitFor(const std::function<bool()>& done, int ms = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return done();
}

// The refresh thread makes every SDL call under the screen lock, so holding it makes SDL ours.
SDL_Window* theWindow() {
    for (Uint32 id = 1; id < 1000; ++id) {
        if (SDL_Window* window = SDL_GetWindowFromID(id)) return window;
    }
    return nullptr;
}

// The refresh thread presents and pumps the window's events under one hold of the lock: once a line
// marked now is clean again, every event pushed before has been translated.
std::vector<ScreenEvent> drainAfterARefresh() {
    {
        ScreenLock lock;
        markDirty(*currentScreen(), 0, 0);
    }
    EXPECT_TRUE(waitFor([] {
        ScreenLock lock;
        return currentScreen()->dirty[0] == 0;
    }));
    std::vector<ScreenEvent> events;
    ScreenEvent e{};
    while (pollEvent(&e))
        events.push_back(e);
    return events;
}

class SdlScreen : public ::testing::Test {
  protected:
    void TearDown() override { closeScreen(); }

    void open(std::int32_t depth = 32) {
        ASSERT_EQ(openScreen(640, 480, depth, 0, 4, 0), 0);
        drainAfterARefresh();
    }
    void push(SDL_Event event) {
        ScreenLock lock;
        SDL_Window* window = theWindow();
        ASSERT_NE(window, nullptr);
        event.window.windowID = SDL_GetWindowID(window);  // windowID sits at the same place in every kind
        SDL_PushEvent(&event);
    }
    std::uint32_t windowPixel(int x, int y) {
        ScreenLock lock;
        SDL_Surface* surface = SDL_GetWindowSurface(theWindow());
        const auto* row = static_cast<const std::uint8_t*>(surface->pixels) + y * surface->pitch;
        std::uint32_t v = 0;
        std::memcpy(&v, row + x * surface->format->BytesPerPixel, surface->format->BytesPerPixel);
        Uint8 r, g, b;
        SDL_GetRGB(v, surface->format, &r, &g, &b);
        return (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
    }
    void drawPixel(int x, int y, std::uint32_t value) {
        ScreenLock lock;
        ScreenState* screen = currentScreen();
        std::memcpy(screen->workPixels() + y * screen->pitch + x * screen->bytesPerPixel, &value,
                    static_cast<std::size_t>(screen->bytesPerPixel));
        markDirty(*screen, y, y);
    }
};

TEST_F(SdlScreen, WithoutDisplayOrNamedDriverNothingOpens) {
    const std::string driver = std::getenv("SDL_VIDEODRIVER") ? std::getenv("SDL_VIDEODRIVER") : "";
    const char* display = std::getenv("DISPLAY");
    const std::string savedDisplay = display ? display : "";
    unsetenv("SDL_VIDEODRIVER");
    unsetenv("DISPLAY");
    EXPECT_EQ(openScreen(640, 480, 32, 0, 4, 0), 1);
    EXPECT_FALSE(screenIsOpen());
    if (!driver.empty()) setenv("SDL_VIDEODRIVER", driver.c_str(), 1);
    if (display) setenv("DISPLAY", savedDisplay.c_str(), 1);
}

TEST_F(SdlScreen, OpenGLThatCannotStartFailsCleanly) {
    EXPECT_EQ(openScreen(640, 480, 32, 0, ScreenOpenGL, 0), 1);  // the dummy driver has no OpenGL
    EXPECT_FALSE(screenIsOpen());
    open();  // and the next open still works
}

TEST_F(SdlScreen, RefreshTransfersDirtyLinesAndClearsTheirFlags) {
    open();
    drawPixel(5, 7, 0x00FF8040);
    ASSERT_TRUE(waitFor([] {
        ScreenLock lock;
        return currentScreen()->dirty[7] == 0;
    }));
    EXPECT_EQ(windowPixel(5, 7), 0xFF8040u);
    EXPECT_EQ(windowPixel(6, 7), 0x000000u);
}

TEST_F(SdlScreen, PalettedAndSixteenBitPagesAreConverted) {
    open(8);
    {
        ScreenLock lock;
        currentScreen()->palette[200] = 0x00336699;
    }
    drawPixel(1, 1, 200);
    ASSERT_TRUE(waitFor([&] { return windowPixel(1, 1) == 0x336699u; }));
    closeScreen();
    open(16);
    drawPixel(2, 2, 0xF800);
    EXPECT_TRUE(waitFor([&] { return windowPixel(2, 2) == 0xFF0000u; }));
}

TEST_F(SdlScreen, CloseButtonGivesExactlyOneCloseRequestAndTheKeyFlag) {
    open();
    takeKeyPressed();
    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    push(close);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    push(quit);
    const auto events = drainAfterARefresh();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].type, CloseRequest);
    EXPECT_TRUE(takeKeyPressed());
    EXPECT_TRUE(screenIsOpen());  // the window stays until the program ends
}

TEST_F(SdlScreen, PointerMotionEntersThenMoves) {
    open();
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.x = 100;
    motion.motion.y = 50;
    push(motion);
    motion.motion.x = 104;
    motion.motion.y = 47;
    push(motion);
    const auto events = drainAfterARefresh();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].type, PointerEnter);
    EXPECT_EQ(events[1].type, PointerMove);
    EXPECT_EQ(events[1].x, 104);
    EXPECT_EQ(events[1].y, 47);
    EXPECT_EQ(events[1].dx, 4);
    EXPECT_EQ(events[1].dy, -3);
}

TEST_F(SdlScreen, ButtonsAndKeysAreTranslated) {
    open();
    SDL_Event button{};
    button.type = SDL_MOUSEBUTTONDOWN;
    button.button.button = SDL_BUTTON_RIGHT;
    button.button.clicks = 1;
    push(button);
    button.type = SDL_MOUSEBUTTONUP;
    push(button);
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.keysym.scancode = SDL_SCANCODE_ESCAPE;
    key.key.keysym.sym = SDLK_ESCAPE;
    push(key);
    key.key.keysym.scancode = SDL_SCANCODE_F4;
    key.key.keysym.sym = SDLK_F4;
    key.key.keysym.mod = KMOD_LALT;
    push(key);  // Alt+F4: consumed
    const auto events = drainAfterARefresh();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].type, ButtonDown);
    EXPECT_EQ(events[0].x, RightButton);
    EXPECT_EQ(events[1].type, ButtonUp);
    EXPECT_EQ(events[2].type, KeyDown);
    EXPECT_EQ(events[2].x, 1);
    EXPECT_EQ(events[2].y, 27);
}

// Interrupt and termination must reach the program's thread, where the frame reports them.
TEST_F(SdlScreen, RefreshThreadBlocksInterruptAndTermination) {
    const auto tasks = [] {
        std::set<std::string> names;
        for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
            names.insert(task.path().string());
        }
        return names;
    };
    const auto blocked = [](const std::string& task) {
        std::ifstream status(task + "/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind("SigBlk:", 0) == 0) return std::stoull(line.substr(7), nullptr, 16);
        }
        return 0ull;
    };
    const std::set<std::string> before = tasks();
    open();
    const unsigned long long both = (1ull << (SIGINT - 1)) | (1ull << (SIGTERM - 1));
    const std::string self = std::string("/proc/self/task/").append(std::to_string(gettid()));
    EXPECT_EQ(blocked(self) & both, 0u);
    std::vector<std::string> started;
    for (const std::string& task : tasks()) {
        if (!before.contains(task)) started.push_back(task);
    }
    // The refresh thread, and the frame's standby thread for an exit handed off from it.
    ASSERT_FALSE(started.empty());
    for (const std::string& task : started)
        EXPECT_EQ(blocked(task) & both, both) << task;
}

TEST_F(SdlScreen, TitleChangesReachTheOpenWindow) {
    setWindowTitle("first");
    open();
    setWindowTitle("ZOPP - V0.1(2008)");
    EXPECT_TRUE(waitFor([] {
        ScreenLock lock;
        return std::string(SDL_GetWindowTitle(theWindow())) == "ZOPP - V0.1(2008)";
    }));
}

TEST_F(SdlScreen, ReopeningReplacesTheWindow) {
    open();
    open();
    ScreenLock lock;
    int w = 0, h = 0;
    SDL_GetWindowSize(theWindow(), &w, &h);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
}

}  // namespace
}  // namespace zopp
