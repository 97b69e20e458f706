// A game on the memory screen: images filled with distinct colours instead of the bitmaps, the setup
// screen drawn, and helpers that feed events to the reaction as the event loop would.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "game/main_loop.h"
#include "harness/support/memory_screen_fixture.h"

namespace zopp::testing {

// Fill colours of the stand-in images.
inline constexpr std::uint32_t kBackground = 0x203040;
inline constexpr std::uint32_t kCell = 0xC0C0C0;
inline constexpr std::uint32_t kSumCell = 0xA0A0F0;
inline constexpr std::uint32_t kLockOpen = 0x00F000;
inline constexpr std::uint32_t kLockClosed = 0xF000F0;
inline constexpr std::uint32_t kThrowButton = 0x808000;
inline constexpr std::uint32_t kScoreButton = 0x008080;
inline constexpr std::uint32_t kBoxEmpty = 0x400040;
inline constexpr std::uint32_t kBoxTicked = 0x404000;
// Face f of a die.
constexpr std::uint32_t faceColour(std::int32_t face) {
    return 0x101010u * static_cast<std::uint32_t>(face) + 0x0A0000u;
}

inline constexpr std::uint32_t kBlack = 0x000000;
inline constexpr std::uint32_t kGreen = 0x008800;
inline constexpr std::uint32_t kRed = 0xEE0000;
inline constexpr std::uint32_t kYellow = 0xFFDD00;

class GameScreen : public MemoryScreen {
  protected:
    void SetUp() override;

    // Screen pixel without its alpha byte.
    std::uint32_t rgb(std::int32_t x, std::int32_t y) const { return screenPixel(x, y) & 0xFFFFFF; }
    // Whether any pixel of the rectangle (right and bottom exclusive) has the colour.
    bool anyPixel(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                  std::uint32_t colour) const;
    // The colours of a w × h block, row by row.
    std::vector<std::uint32_t> grab(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) const;
    // Whether the message button shows the text in the style exactly as drawMessageButton draws them.
    bool buttonShows(std::string_view text, std::int32_t style);

    void event(std::int32_t type, std::int32_t a = 0, std::int32_t b = 0);
    void move(std::int32_t x, std::int32_t y) { event(PointerMove, x, y); }
    void click() { event(ButtonUp, LeftButton); }
    // The events of a quick double click with the left button: the second press comes as DoubleClick.
    void firstPressAndRelease() {
        event(ButtonDown, LeftButton);
        event(ButtonUp, LeftButton);
    }
    void secondPressAndRelease() {
        event(DoubleClick, LeftButton);
        event(ButtonUp, LeftButton);
    }
    void clickAt(std::int32_t x, std::int32_t y) {
        move(x, y);
        click();
    }

    // Clicks on the message button, die i (1..5), a player-count die k (1..4) or row r of the scoreboard
    // in player p's column.
    void clickButton() { clickAt(470, 405); }
    void clickDie(std::int32_t i) { clickAt(60 * i + 35, 405); }
    void choosePlayers(std::int32_t k) { clickAt(100 * k + 55, 375); }
    void clickRow(std::int32_t row, std::int32_t player = 1) {
        clickAt(70 + 100 * player + 50, rowTop(row) + 10);
    }
    static std::int32_t rowTop(std::int32_t row) { return row <= 8 ? 20 * row + 5 : 20 * row + 10; }

    // Throws once and gives up the other throws, so the turn waits for a row.
    void throwOnceAndStop() {
        clickButton();
        clickButton();
    }
    // Puts the five faces on the table as if thrown, in phase AfterFirstThrow or AfterSecondThrow.
    void setFaces(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d, std::int32_t e);

    GameState game{};
    MainLoop loop;
};

}  // namespace zopp::testing
