// The Win32 back-end this platform offers.
#include <memory>

#include "screen/win32/win32_backend.h"

namespace zopp {

namespace {

// One window for every flag combination: its lines go as device-independent bitmaps, or with the OpenGL
// flag through the system's OpenGL.
std::unique_ptr<Backend> makeWin32Backend(std::int32_t flags) {
    return std::make_unique<Win32Backend>(flags);
}

}  // namespace

std::span<const BackendFactory> platformBackendFactories() {
    static constexpr BackendFactory kFactories[] = {makeWin32Backend};
    return kFactories;
}

}  // namespace zopp
