#include "screen/backend/window_placement.h"

namespace zopp {

WindowPosition centredOnDesktop(std::int32_t desktopWidth, std::int32_t desktopHeight,
                                std::int32_t outerWidth, std::int32_t outerHeight) {
    return WindowPosition{(desktopWidth - outerWidth) >> 1, (desktopHeight - outerHeight) >> 1};
}

}  // namespace zopp
