// The SDL back-ends this platform offers, and what must be settled before the refresh thread exists.
#include <cstdlib>
#include <memory>
#include <string>

#include "screen/sdl/sdl_backend.h"
#include "screen/state/screen_values.h"

namespace zopp {

namespace {

// The window takes no text input (characters come from the key events), yet opening X's input method
// parses the locale's whole compose table, thousands of lines, at every start. Unless the user names a
// table, an empty one spares that; Wayland's keyboard library reads the same variable, and refuses an
// empty file with a message, so a Wayland window keeps the table. Done on the program's thread before the
// refresh thread exists: the environment is not thread-safe.
void skipComposeTable(const std::string& drivers) {
    if (drivers.starts_with("wayland")) return;
    setenv("XCOMPOSEFILE", "/dev/null", 0);  // NOLINT(concurrency-mt-unsafe): no other thread yet
}

std::unique_ptr<Backend> makeSdlBackend(std::int32_t flags, bool openGL) {
    const std::string drivers = videoDrivers();
    if (drivers.empty()) return nullptr;
    skipComposeTable(drivers);
    return std::make_unique<SdlBackend>(flags, openGL);
}

// The window surface serves every flag combination but OpenGL; the OpenGL back-end only that flag.
std::unique_ptr<Backend> makeSdlSurfaceBackend(std::int32_t flags) {
    return (flags & ScreenOpenGL) ? nullptr : makeSdlBackend(flags, false);
}

std::unique_ptr<Backend> makeSdlOpenGLBackend(std::int32_t flags) {
    return (flags & ScreenOpenGL) ? makeSdlBackend(flags, true) : nullptr;
}

}  // namespace

// Left to itself SDL falls back to an invisible driver when no display answers, and the program would run
// windowless: unless a driver is named explicitly (the tests' "dummy"), only the display servers the
// environment names are tried. Read on the program's thread while it opens the screen; nothing in the
// program changes the environment.
std::string videoDrivers() {
    const auto valueOf = [](const char* name) -> const char* {
        const char* value = std::getenv(name);  // NOLINT(concurrency-mt-unsafe)
        return value && *value ? value : nullptr;
    };
    if (const char* named = valueOf("SDL_VIDEODRIVER")) return named;
    std::string drivers;
    if (valueOf("DISPLAY")) drivers = "x11";
    if (valueOf("WAYLAND_DISPLAY")) drivers += drivers.empty() ? "wayland" : ",wayland";
    return drivers;
}

std::span<const BackendFactory> platformBackendFactories() {
    static constexpr BackendFactory kFactories[] = {makeSdlSurfaceBackend, makeSdlOpenGLBackend};
    return kFactories;
}

}  // namespace zopp
