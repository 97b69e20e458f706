// The SDL window: creating and closing it with everything it holds, its place on the desktop, full
// screen, its title and the pointer capture.
#include <SDL_syswm.h>

#include <cstring>

#include "screen/backend/event_translator.h"
#include "screen/backend/window_icon.h"
#include "screen/backend/window_placement.h"
#include "screen/sdl/sdl_backend.h"
#include "screen/sdl/sdl_desktop_scale.h"
#include "screen/state/screen_values.h"

namespace zopp {

namespace {

void setIcon(SDL_Window* window) {
    constexpr int size = 32;
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormat(0, size, size, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!icon) return;
    for (int y = 0; y < size; ++y) {
        std::memcpy(static_cast<std::uint8_t*>(icon->pixels) + y * icon->pitch, kWindowIconPixels + y * size,
                    size * sizeof kWindowIconPixels[0]);
    }
    SDL_SetWindowIcon(window, icon);
    SDL_FreeSurface(icon);
}

}  // namespace

bool SdlBackend::createWindow(ScreenState& screen, std::int32_t refreshRate, std::string_view title,
                              EventTranslator& translator) {
    screen_ = &screen;
    refreshRate_ = refreshRate;
    translator_ = &translator;
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "0");  // the translator decides when to capture
    // Left alone, SDL drops a click that comes within a few milliseconds of the window gaining focus; a
    // click that activates the window is still a click.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_VIDEODRIVER, videoDrivers().c_str());
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    videoStarted_ = true;
    // The window surface is the driver's own (X's shared memory), not a renderer's texture; Wayland has
    // none of its own and shows the surface through a renderer.
    if (std::strcmp(SDL_GetCurrentVideoDriver(), "wayland") != 0)
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    title_ = title;
    clientWidth_ = screen.width;
    clientHeight_ = screen.height;
    if (!openWindow(title)) return false;
    // The loop answers with the client area at its factor (resizeClient).
    if (flags_ & ScreenFullScreen) {
        translator.fullScreenChanged(true);
    } else {
        translator.desktopScaleChanged(sdlDesktopScale(window_));
    }
    if (!window_) return false;
    if (openGL_) {
        presenter_ = startGlPresenter(window_, screen, glContext_);
    } else if (auto surface = std::make_unique<SdlSurfacePresenter>(window_, screen); surface->start()) {
        presenter_ = std::move(surface);
    }
    if (!presenter_) return false;
    showWindow();
    return true;
}

bool SdlBackend::openWindow(std::string_view title) {
    Uint32 windowFlags = SDL_WINDOW_HIDDEN;
    if (flags_ & ScreenFullScreen) windowFlags |= SDL_WINDOW_FULLSCREEN;
    if (flags_ & ScreenNoFrame) windowFlags |= SDL_WINDOW_BORDERLESS;
    if (openGL_) windowFlags |= SDL_WINDOW_OPENGL;
    const std::string caption(title);
    const int w = clientWidth_, h = clientHeight_;
    constexpr int centred = SDL_WINDOWPOS_CENTERED;
    window_ = (flags_ & ScreenShaped)
                  ? SDL_CreateShapedWindow(caption.c_str(), centred, centred, w, h, windowFlags)
                  : SDL_CreateWindow(caption.c_str(), centred, centred, w, h, windowFlags);
    return window_ != nullptr;
}

void SdlBackend::showWindow() {
    setIcon(window_);
    cursor_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    if (cursor_) SDL_SetCursor(cursor_);
    SDL_StopTextInput();  // characters come from the key events

    if (flags_ & ScreenFullScreen) chooseFullScreenMode();
    attachToDisplay();  // before the window shows, so that X's notifications cover all of its input
    SDL_ShowWindow(window_);
    if (!(flags_ & ScreenFullScreen)) centreWindow();
    SDL_RaiseWindow(window_);
    if (flags_ & ScreenShaped) {
        shape_.emplace();
        shape_->update(window_, *screen_, clientWidth_ / screen_->width);  // the factor it was made at
    }
}

void SdlBackend::destroyWindow() {
    shape_.reset();
    presenter_.reset();
    if (glContext_) SDL_GL_DeleteContext(glContext_);
    glContext_ = nullptr;
    if (capturing_) releasePointer();
    x11Pointer_.reset();
    waiter_.watchDisplay(nullptr);
    waiter_.stopWaitingInSdl();
    if (window_) SDL_DestroyWindow(window_);
    window_ = nullptr;
    if (cursor_) SDL_FreeCursor(cursor_);
    cursor_ = nullptr;
    if (videoStarted_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    videoStarted_ = false;
    SDL_TLSCleanup();  // SDL keeps per-thread data that it frees only for its own threads
}

// Full screen keeps the display mode's size.
void SdlBackend::resizeClient(std::int32_t width, std::int32_t height) {
    clientWidth_ = width;
    clientHeight_ = height;
    int shownWidth = 0, shownHeight = 0;
    SDL_GetWindowSize(window_, &shownWidth, &shownHeight);
    if ((shownWidth == width && shownHeight == height) ||
        (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN))
        return;
    if (flags_ & ScreenShaped) {
        // SDL's shaped window shows nothing once resized: it is made again at the new size (before it
        // shows: a shaped window never switches to full screen, and is never resized later).
        SDL_DestroyWindow(window_);
        window_ = nullptr;
        openWindow(title_);
    } else {
        SDL_SetWindowSize(window_, width, height);
    }
}

// On X11 the refresh thread also waits on the display connection, and the pointer is read from X; under
// another driver it waits in SDL's event wait where that sleeps.
void SdlBackend::attachToDisplay() {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window_, &info) || info.subsystem != SDL_SYSWM_X11) {
        waiter_.waitInSdl();
        return;
    }
    waiter_.watchDisplay(info.info.x11.display);
    x11Pointer_.emplace(info.info.x11.display, info.info.x11.window);
}

// Centred by the outer size; SDL places the client area, the frame's left and top further in.
void SdlBackend::centreWindow() {
    SDL_Rect desktop;
    const int display = SDL_GetWindowDisplayIndex(window_);
    if (SDL_GetDisplayBounds(display < 0 ? 0 : display, &desktop) != 0) return;
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(window_, &top, &left, &bottom, &right) != 0) top = left = bottom = right = 0;
    const WindowPosition outer =
        centredOnDesktop(desktop.w, desktop.h, clientWidth_ + left + right, clientHeight_ + top + bottom);
    SDL_SetWindowPosition(window_, desktop.x + outer.x + left, desktop.y + outer.y + top);
}

// Without X, SDL's mouse focus is what the platform last said (Wayland tells no position outside).
bool SdlBackend::pointerOverClient() const {
    if (!x11Pointer_) return SDL_GetMouseFocus() == window_;
    int px = 0, py = 0, wx = 0, wy = 0;
    SDL_GetGlobalMouseState(&px, &py);
    SDL_GetWindowPosition(window_, &wx, &wy);
    return px >= wx && py >= wy && px < wx + clientWidth_ && py < wy + clientHeight_;
}

void SdlBackend::toggleFullScreen() {
    const bool full = (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN) != 0;
    if (full) {
        SDL_SetWindowFullscreen(window_, 0);
    } else {
        chooseFullScreenMode();
        SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN);
    }
    translator_->fullScreenChanged(!full);
}

// The display mode closest to the screen's size at the requested refresh rate (0 = any).
void SdlBackend::chooseFullScreenMode() {
    SDL_DisplayMode mode{};
    mode.w = screen_->width;
    mode.h = screen_->height;
    mode.refresh_rate = refreshRate_;
    SDL_DisplayMode closest{};
    const int display = SDL_GetWindowDisplayIndex(window_);
    if (SDL_GetClosestDisplayMode(display < 0 ? 0 : display, &mode, &closest)) {
        SDL_SetWindowDisplayMode(window_, &closest);
    }
}

void SdlBackend::setTitle(std::string_view title) {
    SDL_SetWindowTitle(window_, std::string(title).c_str());
}

void SdlBackend::capturePointer() {
    capturing_ = SDL_CaptureMouse(SDL_TRUE) == 0;
}

void SdlBackend::releasePointer() {
    SDL_CaptureMouse(SDL_FALSE);
    capturing_ = false;
}

}  // namespace zopp
