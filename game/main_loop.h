// The main routine's own state beside the shared game record (board/game_state.h): the phase, the
// mouse position and the event record.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "board/game_state.h"
#include "frame/events.h"

namespace zopp {

// The state of the main loop.
enum Phase : std::int32_t {
    Setup = 1,
    BeforeFirstThrow = 2,
    AfterFirstThrow = 3,
    AfterSecondThrow = 4,
    ChooseRow = 5,
    GameOver = 6,
};

// The main routine's own variables: the phase (0 until the setup screen is drawn), the position of the
// latest pointer move (clicks are handled there, not at the button event's data), and the one event
// record every poll reuses. Where the platform keeps a game for the next run (game/kept_game.h), also the
// pictures' fingerprint and the value kept last.
struct MainLoop {
    std::int32_t phase = 0;
    std::int32_t mouseX = 0;
    std::int32_t mouseY = 0;
    std::unique_ptr<ScreenEvent> event;
    std::uint32_t pictures = 0;
    std::vector<std::uint8_t> kept;
};

}  // namespace zopp
