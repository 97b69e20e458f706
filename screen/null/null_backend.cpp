#include "screen/null/null_backend.h"

#include "screen/state/screen_values.h"

namespace zopp {

std::unique_ptr<Backend> makeNullBackend(std::int32_t flags) {
    if (flags & ScreenOpenGL) return nullptr;
    return std::make_unique<NullBackend>();
}

}  // namespace zopp
