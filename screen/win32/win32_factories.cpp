// The Win32 back-end this platform offers.
#include <memory>

#include "screen/screen.h"
#include "screen/win32/win32_backend.h"

namespace zopp {

namespace {

// GDI serves every flag combination but OpenGL, which this back-end does not offer: an OpenGL request
// finds no back-end and the screen does not open.
std::unique_ptr<Backend> makeWin32Backend(std::int32_t flags) {
    return (flags & ScreenOpenGL) ? nullptr : std::make_unique<Win32Backend>(flags);
}

}  // namespace

std::span<const BackendFactory> platformBackendFactories() {
    static constexpr BackendFactory factories[] = {makeWin32Backend};
    return factories;
}

}  // namespace zopp
