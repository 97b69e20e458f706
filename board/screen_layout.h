// Where the game's pictures lie on the 640×480 screen. Drawing and the turn flow's hit-testing read the
// same numbers, so a click lands on what was drawn there.
#pragma once

#include <cstdint>

#include "board/game_state.h"

namespace zopp {

// Left and top inclusive, right and bottom exclusive.
struct ScreenRect {
    std::int32_t left, top, right, bottom;
    constexpr bool contains(std::int32_t x, std::int32_t y) const {
        return left <= x && x < right && top <= y && y < bottom;
    }
};

// The scoreboard: 100×20 cells, the label column at x = 70 and player p's column (1..4) beside it.
inline constexpr std::int32_t kCellWidth = 100;
inline constexpr std::int32_t kCellHeight = 20;
inline constexpr std::int32_t kLabelColumnX = 70;
inline constexpr std::int32_t kHeaderY = 5;
constexpr std::int32_t columnX(std::int32_t player) {
    return kLabelColumnX + kCellWidth * player;
}
// A 5-pixel strip of background separates the upper block (rows 1-8) from the lower.
constexpr std::int32_t rowTop(std::int32_t row) {
    return row <= Bonus ? kCellHeight * row + 5 : kCellHeight * row + 10;
}
// The category rows across the four player columns, where a click chooses a row.
inline constexpr ScreenRect kUpperCategories{columnX(1), rowTop(Ones), columnX(5), rowTop(UpperSum)};
inline constexpr ScreenRect kLowerCategories{columnX(1), rowTop(ThreeOfAKind), columnX(5), rowTop(LowerSum)};

// The dice tray: die i (1..5), 50×50, with its 10×10 lock mark centred below it.
constexpr ScreenRect dieRect(std::int32_t die) {
    return {60 * die + 10, 380, 60 * die + 60, 430};
}
constexpr std::int32_t lockMarkX(std::int32_t die) {
    return 60 * die + 30;
}
inline constexpr std::int32_t kLockMarkY = 435;

// The message button, 200×50.
inline constexpr ScreenRect kMessageButton{370, 380, 570, 430};

// The setup screen: the two 20×20 rule tick boxes and the 50×50 player-count dice k = 1..4.
inline constexpr ScreenRect kRuleBoxFree{30, 40, 50, 60};
inline constexpr ScreenRect kRuleBoxLocked{30, 90, 50, 110};
constexpr ScreenRect playerCountDie(std::int32_t count) {
    return {30 + 100 * count, 350, 80 + 100 * count, 400};
}

}  // namespace zopp
