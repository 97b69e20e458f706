#include "frame/platform/console_keys.h"

namespace zopp::platform {

// A page has no console: only the screen's key flag can end a sleep early.
bool consoleKeyPressed() {
    return false;
}

}  // namespace zopp::platform
