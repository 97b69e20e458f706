#include "screen/sdl/sdl_desktop_scale.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xresource.h>

#include <cstdlib>
#include <optional>

namespace zopp {

namespace {

constexpr double kDotsPerInchAtScaleOne = 96.0;

// The dots per inch a desktop sets for its X clients in the resource database (the server's
// RESOURCE_MANAGER, read when the connection opened).
std::optional<double> xftDotsPerInch(Display* display) {
    const char* resources = XResourceManagerString(display);
    if (resources == nullptr) return std::nullopt;
    XrmInitialize();
    XrmDatabase database = XrmGetStringDatabase(resources);
    if (database == nullptr) return std::nullopt;
    std::optional<double> dpi;
    char* type = nullptr;
    XrmValue value{};
    if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr != nullptr) {
        const double read = std::strtod(value.addr, nullptr);
        if (read > 0) dpi = read;
    }
    XrmDestroyDatabase(database);
    return dpi;
}

// The toolkit's whole-number scale, which desktops without Xft.dpi set for their programs.
std::optional<double> gdkScale() {
    const char* text = std::getenv("GDK_SCALE");  // NOLINT(concurrency-mt-unsafe): nothing sets it
    if (text == nullptr) return std::nullopt;
    const long scale = std::strtol(text, nullptr, 10);
    return scale >= 1 ? std::optional<double>(static_cast<double>(scale)) : std::nullopt;
}

}  // namespace

// Both are X's settings. A compositor without X (Wayland) scales a window that does not scale itself by its
// output's scale: the game's own factor stays 1 there.
DesktopScale sdlDesktopScale(SDL_Window* window) {
    DesktopScale desktop;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    const bool onX11 = SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11;
    if (const std::optional<double> dpi = onX11 ? xftDotsPerInch(info.info.x11.display) : std::nullopt) {
        desktop.scale = *dpi / kDotsPerInchAtScaleOne;
    } else if (const std::optional<double> scale = onX11 ? gdkScale() : std::nullopt) {
        desktop.scale = *scale;
    }
    const int display = SDL_GetWindowDisplayIndex(window);
    SDL_Rect work{};
    if (SDL_GetDisplayUsableBounds(display < 0 ? 0 : display, &work) == 0) {
        desktop.workWidth = work.w;
        desktop.workHeight = work.h;
    }
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(window, &top, &left, &bottom, &right) == 0) {
        desktop.frameWidth = left + right;
        desktop.frameHeight = top + bottom;
    }
    return desktop;
}

}  // namespace zopp
