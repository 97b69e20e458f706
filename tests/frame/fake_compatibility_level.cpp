// The compatibility level the game passes to the frame, for tests that do not start the frame. Weak, so
// the frame's own definition wins wherever it is linked in.
#include "frame/runtime.h"

namespace zopp {

[[gnu::weak]] std::int32_t compatibilityLevel() {
    return 0;
}

}  // namespace zopp
