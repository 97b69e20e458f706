#include "game/event_loop.h"

#include "frame/keeping.h"
#include "frame/runtime.h"
#include "frame/timing.h"
#include "game/kept_game.h"
#include "game/turn_flow.h"

namespace zopp {

void reactToEvent(GameState& game, MainLoop& loop, const ScreenEvent& event) {
    switch (event.type) {
        case PointerMove:
            loop.mouseX = event.x;
            loop.mouseY = event.y;
            break;
        case ButtonUp:
            // A button event carries no position: the click is where the pointer last moved.
            if (event.button() == LeftButton) {
                handleClick(game, loop);
            }
            break;
        case CloseRequest:
            endProgram(0);
        default:
            break;
    }
}

void runEventLoop(GameState& game, MainLoop& loop) {
    for (;;) {
        if (pollEvent(loop.event.get()) != 0) {
            reactToEvent(game, loop, *loop.event);
            // The pointer's position alone is kept with the next click, not at every motion.
            if (loop.event->type != PointerMove) keepGame(game, loop);
        }
        if (takeLeaveRequest()) leaveGame(game, loop);
        sleepMs(2);
    }
}

}  // namespace zopp
