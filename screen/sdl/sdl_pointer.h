// The pointer as the back-end hands it to the translator, from whichever source reports it: X's own
// notifications on X11, SDL's mouse events under any other driver. Both pass through translatePointer,
// so a press, a release and a leave mean the same whatever reported them.
#pragma once

#include <cstdint>

#include "screen/backend/event_translator.h"

namespace zopp {

struct PointerNotification {
    enum Kind { Motion, Press, Release, Leave } kind = Motion;
    std::int32_t x = 0, y = 0;          // in the window
    std::int32_t rootX = 0, rootY = 0;  // on the desktop
    std::int32_t button = 0;            // MouseButton code (Press, Release)
    std::uint32_t time = 0;             // milliseconds, any origin (Press)
    bool grabChange = false;            // Leave: the pointer did not move, a grab started
};

void translatePointer(const PointerNotification& n, EventTranslator& translator);

}  // namespace zopp
