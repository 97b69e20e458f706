// Drawing on the program's thread while the refresh thread presents and posts events. Meant to run under
// ThreadSanitizer (scripts/tsan) as well as in the ordinary builds.
#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "frame/events.h"
#include "screen/backend/input.h"
#include "screen/state/screen_state.h"
#include "screen/window/screen.h"

namespace zopp {
namespace {

void pushToWindow(SDL_Event event) {
    // Under the screen lock no SDL call of the refresh thread runs.
    ScreenLock lock;
    for (Uint32 id = 1; id < 1000; ++id) {
        if (SDL_GetWindowFromID(id)) {
            event.window.windowID = id;
            SDL_PushEvent(&event);
            return;
        }
    }
}

void fillBand(std::int32_t top, std::int32_t lines, std::uint32_t colour) {
    ScreenLock lock;
    ScreenState* screen = currentScreen();
    for (std::int32_t y = top; y < top + lines; ++y) {
        auto* row =
            screen->workPixels() + static_cast<std::size_t>(y) * static_cast<std::size_t>(screen->pitch);
        for (std::int32_t x = 0; x < screen->width; ++x)
            std::memcpy(row + x * 4, &colour, 4);
    }
    markDirty(*screen, top, top + lines - 1);
}

TEST(ScreenStress, DrawingPollingAndRefreshingTogether) {
    ASSERT_EQ(openScreen(640, 480, 32, 0, 4, 0), 0);
    int events = 0, closes = 0;
    const auto poll = [&] {
        ScreenEvent e{};
        while (pollEvent(&e)) {
            ++events;
            if (e.type == CloseRequest) ++closes;
        }
    };
    // A number of rounds rather than a time, so a busy machine does the same work, only slower.
    for (int round = 0; round < 1500; ++round) {
        fillBand((round * 7) % 470, 10, 0x00010101u * static_cast<std::uint32_t>(round & 0xFF));
        if (round % 5 == 0) {
            SDL_Event motion{};
            motion.type = SDL_MOUSEMOTION;
            motion.motion.x = round % 640;
            motion.motion.y = (round / 3) % 480;
            pushToWindow(motion);
        }
        if (round % 97 == 0) {
            SDL_Event close{};
            close.type = SDL_WINDOWEVENT;
            close.window.event = SDL_WINDOWEVENT_CLOSE;
            pushToWindow(close);
            setWindowTitle(std::string("round ").append(std::to_string(round)));
        }
        poll();
        takeKeyPressed();
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    // The refresh thread may still be translating what the last rounds pushed.
    const auto settled = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while ((events <= 50 || closes == 0) && std::chrono::steady_clock::now() < settled) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        poll();
    }
    closeScreen();
    EXPECT_GT(events, 50);
    EXPECT_GT(closes, 0);
}

TEST(ScreenStress, OpeningAndClosingRepeatedly) {
    for (int i = 0; i < 10; ++i) {
        ASSERT_EQ(openScreen(320, 200, i % 2 ? 8 : 32, 0, 4, 0), 0);
        fillBand(0, 5, 0x00FFFFFFu);
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
        closeScreen();
        EXPECT_EQ(pollEvent(nullptr), 0);
    }
}

}  // namespace
}  // namespace zopp
