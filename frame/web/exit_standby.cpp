// One thread: the screen's refresh work runs between the program's steps, so no thread is forbidden to
// run the exit sequence and no standby is needed.
#include "frame/platform/exit_standby.h"

#include <emscripten/eventloop.h>

namespace zopp::platform {

ExitStandby startExitStandby(void (*)()) {
    return ExitStandby::NotNeeded;
}

bool wakeExitStandby() {
    return false;
}

// Leaves the program's stack for the browser's event loop and never comes back to it.
void parkThreadForever() {
    emscripten_unwind_to_js_event_loop();
}

}  // namespace zopp::platform
