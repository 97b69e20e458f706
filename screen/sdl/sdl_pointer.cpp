#include "screen/sdl/sdl_pointer.h"

namespace zopp {

void translatePointer(const PointerNotification& n, EventTranslator& translator) {
    switch (n.kind) {
        case PointerNotification::Motion:
            translator.motion(n.x, n.y, n.rootX, n.rootY);
            break;
        case PointerNotification::Press:
            // The translator counts the series from the press's time and place, not the platform's count.
            translator.buttonPressedAt(n.button, n.time, n.rootX, n.rootY);
            break;
        case PointerNotification::Release:
            translator.buttonReleased(n.button);
            break;
        case PointerNotification::Leave:
            // The grab a press starts is no crossing of the pointer's own.
            if (n.grabChange) break;
            translator.pointerLeft();
            break;
    }
}

}  // namespace zopp
