// The program: the run-time frame, the game's start-up, then the event loop, which never returns.
#include "frame/runtime.h"
#include "frame/timing.h"
#include "game/event_loop.h"
#include "game/startup.h"

int main(int argc, char** argv) {
    zopp::startRuntime(argc, argv);
    // One instance for the whole run; its images are released with the process.
    static zopp::GameState game{};
    static zopp::MainLoop loop;
    zopp::startGame(game, loop);
    // Nothing but the window gives the game work, so its idle loop may sleep until the window has news.
    zopp::reactOnlyToWindowEvents();
    zopp::runEventLoop(game, loop);
}
