// The message button: one 200×50 field that says what the next click on it does and is itself the
// thing to click. Every caller places it at kMessageButton's corner (board/screen_layout.h) in black.
#pragma once

#include <cstdint>
#include <string_view>

#include "board/game_state.h"

namespace zopp {

// imgButton[style] at (x, y) — 0 "throw", 1 "to the scoreboard", 2 the saved screen under the button —
// then text centred 8 px per character, 17 px below the top, in colour.
void drawMessageButton(GameState& game, std::int32_t x, std::int32_t y, std::string_view text,
                       std::uint32_t colour, std::int32_t style);

}  // namespace zopp
