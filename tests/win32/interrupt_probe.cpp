// A console program with the frame's handlers that waits to be interrupted: prints "ready", then waits up
// to 30 s and exits 3 if nothing ended it. It waits in short sleeps, or with "idle" like the game's event
// loop with a screen open: declaring it reacts only to window events and polling an empty event queue,
// so each short sleep waits for the next event.
#include <cstdio>
#include <string_view>

#include "frame/events.h"
#include "frame/runtime.h"
#include "frame/timing.h"

int main(int argc, char** argv) {
    zopp::startRuntime(argc, argv);
    const bool idle = argc > 1 && std::string_view(argv[1]) == "idle";
    if (idle) {
        zopp::openEventQueue();
        zopp::reactOnlyToWindowEvents();
    }
    std::printf("ready\n");
    std::fflush(stdout);
    zopp::ScreenEvent event{};
    for (int i = 0; i < 300; ++i) {
        if (idle) zopp::pollEvent(&event);
        zopp::sleepMs(99);  // under 100 ms: no key ends these sleeps
    }
    return 3;
}
