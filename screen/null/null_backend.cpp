#include "tests/support/window_less_backend.h"

#include "screen/state/screen_values.h"

namespace zopp::testing {

std::unique_ptr<Backend> makeWindowLessBackend(std::int32_t flags) {
    if (flags & ScreenOpenGL) return nullptr;
    return std::make_unique<WindowLessBackend>();
}

}  // namespace zopp::testing
