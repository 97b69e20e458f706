// The game's state: the record shared with the board, and the phase the main routine keeps for itself.
#pragma once

#include <cstdint>

#include "board/game_state.h"

namespace zopp {

// The state of the main loop; the main routine keeps it, not GameState.
enum Phase : std::int32_t {
    Setup = 1,
    BeforeFirstThrow = 2,
    AfterFirstThrow = 3,
    AfterSecondThrow = 4,
    ChooseRow = 5,
    GameOver = 6,
};

}  // namespace zopp
