#include "screen/sdl_backend.h"

#include <SDL.h>
#include <SDL_shape.h>
#include <SDL_syswm.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "frame/runtime.h"
#include "frame/timing.h"
#include "screen/event_translator.h"
#include "screen/pixel_convert.h"
#include "screen/scan_codes.h"
#include "screen/screen.h"
#include "screen/screen_state.h"
#include "screen/sdl/sdl_beep.h"
#include "screen/sdl_gl_functions.h"
#include "screen/sdl_keys.h"

namespace zopp {

namespace {

constexpr auto refreshPeriod = std::chrono::milliseconds(10);
constexpr std::size_t maxSpans = 8;

// The video drivers to try. Left to itself SDL falls back to an invisible driver when no display answers,
// and the program would run windowless: unless a driver is named explicitly (the tests' "dummy"), only
// the display servers the environment names are tried. Empty when there is none.
std::string videoDrivers() {
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    if (set("SDL_VIDEODRIVER")) return std::getenv("SDL_VIDEODRIVER");
    std::string drivers;
    if (set("DISPLAY")) drivers = "x11";
    if (set("WAYLAND_DISPLAY")) drivers += drivers.empty() ? "wayland" : ",wayland";
    return drivers;
}

// The window icon: a white die showing five on a transparent ground.
SDL_Surface* makeIcon() {
    constexpr int size = 32;
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormat(0, size, size, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!icon) return nullptr;
    auto* pixels = static_cast<std::uint32_t*>(icon->pixels);
    const int stride = icon->pitch / 4;
    constexpr std::array<std::array<int, 2>, 5> pips = {{{9, 9}, {22, 9}, {15, 15}, {9, 22}, {22, 22}}};
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const bool corner = (x < 3 || x > 28) && (y < 3 || y > 28);
            std::uint32_t colour = corner                                 ? 0x00000000u
                                   : (x < 1 || x > 30 || y < 1 || y > 30) ? 0xFF202020u
                                                                          : 0xFFF8F8F0u;
            for (const auto& pip : pips) {
                const int ddx = x - pip[0], ddy = y - pip[1];
                if (ddx * ddx + ddy * ddy <= 8) colour = 0xFF000000u;
            }
            pixels[y * stride + x] = colour;
        }
    }
    return icon;
}

PixelLayout layoutOf(const SDL_PixelFormat& format) {
    PixelLayout layout;
    layout.bytesPerPixel = format.BytesPerPixel;
    layout.redShift = format.Rshift;
    layout.greenShift = format.Gshift;
    layout.blueShift = format.Bshift;
    layout.redLoss = format.Rloss;
    layout.greenLoss = format.Gloss;
    layout.blueLoss = format.Bloss;
    return layout;
}

// The window takes no text input (characters come from the key events), yet opening X's input method
// parses the locale's whole compose table, thousands of lines, at every start. Unless the user names a
// table, an empty one spares that. Done before the refresh thread exists: the environment is not
// thread-safe.
void skipComposeTable() {
    setenv("XCOMPOSEFILE", "/dev/null", 0);
}

class SdlBackend final : public Backend, private WindowPlatform {
  public:
    SdlBackend(std::int32_t flags, bool openGL)
        : flags_(flags),
          openGL_(openGL),
          translator_(*this),
          wakeFd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}
    ~SdlBackend() override {
        stop();
        if (wakeFd_ >= 0 && !abandoned_) close(wakeFd_);
    }

    bool start(ScreenState& screen, std::int32_t refreshRate) override;
    void stop() override;
    bool abandoned() const override { return abandoned_; }
    void setTitle(std::string_view title) override;
    void paletteChanged() override { paletteDirty_ = true; }
    void wake() override;

  private:
    // Refresh thread.
    void run(std::promise<bool> started);
    void waitForWork(std::chrono::steady_clock::time_point deadline);
    void watchDisplayConnection();
    bool createWindow();
    void destroyWindow();
    void present();
    void presentSoftware(std::span<const LineSpan> spans);
    void presentOpenGL(std::span<const LineSpan> spans);
    void updateShape();
    void readKeyboard();
    void pumpEvents();
    void handleWindowEvent(const SDL_WindowEvent& event);
    void handleKey(const SDL_KeyboardEvent& event);
    void updateActivation();
    void applyPendingTitle();
    void centreWindow();
    bool pointerOverClient() const;
    void toggleFullScreen();
    void chooseFullScreenMode();

    // WindowPlatform
    void capturePointer() override { capturing_ = SDL_CaptureMouse(SDL_TRUE) == 0; }
    void releasePointer() override {
        SDL_CaptureMouse(SDL_FALSE);
        capturing_ = false;
    }
    bool holdsPointer() const override { return capturing_; }
    void trackLeave(bool enabled) override { trackingLeave_ = enabled; }
    void activationReset() override {
        screen_->keyState.fill(0);
        keyboardChanged_ = true;
        markAllDirty(*screen_);
    }

    const std::int32_t flags_;
    const bool openGL_;
    ScreenState* screen_ = nullptr;
    std::int32_t refreshRate_ = 0;
    EventTranslator translator_;

    std::thread thread_;
    std::atomic<bool> stopping_{false};
    bool abandoned_ = false;

    std::mutex titleMutex_;
    std::string pendingTitle_;
    std::atomic<bool> titleChanged_{false};
    std::atomic<bool> paletteDirty_{false};
    // Drawing wakes the refresh thread through this counter; the flag keeps it to one write per cycle.
    const int wakeFd_;
    std::atomic<bool> wakeRequested_{false};

    // Owned by the refresh thread.
    bool videoStarted_ = false;
    SDL_Window* window_ = nullptr;
    SDL_Cursor* cursor_ = nullptr;
    SDL_GLContext glContext_ = nullptr;
    GlFunctions gl_;
    GLuint texture_ = 0;
    std::vector<std::uint8_t> lineBuffer_;  // converted lines for OpenGL
    SDL_Surface* shape_ = nullptr;
    bool capturing_ = false;
    bool trackingLeave_ = false;
    bool focused_ = false, minimised_ = false;
    bool keyboardChanged_ = true;
    int displayFd_ = -1;  // the display connection, when the driver has one: input wakes the thread
};

std::unique_ptr<Backend> makeSdlBackend(std::int32_t flags, bool openGL) {
    return std::make_unique<SdlBackend>(flags, openGL);
}

bool SdlBackend::start(ScreenState& screen, std::int32_t refreshRate) {
    if (videoDrivers().empty()) return false;
    setBeepSoundHook(playSdlTone);  // from the first window on, the beep sounds through SDL's audio
    skipComposeTable();
    screen_ = &screen;
    refreshRate_ = refreshRate;
    {
        std::lock_guard hold(titleMutex_);
        pendingTitle_ = std::string(windowTitle());
    }
    std::promise<bool> started;
    auto result = started.get_future();
    thread_ = std::thread(&SdlBackend::run, this, std::move(started));
    if (result.get()) return true;
    thread_.join();
    return false;
}

void SdlBackend::stop() {
    if (!thread_.joinable()) return;
    if (thread_.get_id() == std::this_thread::get_id()) {
        // The refresh thread cannot join itself: keep everything alive for it.
        abandoned_ = true;
        return;
    }
    if (isParkedByExit(thread_.get_id())) {
        // It will never run again and may hold the screen lock: leave it alone.
        thread_.detach();
        abandoned_ = true;
        return;
    }
    stopping_ = true;
    wake();
    thread_.join();
}

void SdlBackend::wake() {
    if (wakeFd_ < 0 || wakeRequested_.exchange(true)) return;
    const std::uint64_t one = 1;
    static_cast<void>(write(wakeFd_, &one, sizeof one));
}

// Sleeps until the deadline, a wake from drawing, or input on the display connection.
void SdlBackend::waitForWork(std::chrono::steady_clock::time_point deadline) {
    const auto left = deadline - std::chrono::steady_clock::now();
    if (left <= std::chrono::steady_clock::duration::zero()) return;
    std::array<pollfd, 2> watched{};
    nfds_t count = 0;
    if (wakeFd_ >= 0) watched[count++] = pollfd{wakeFd_, POLLIN, 0};
    if (displayFd_ >= 0) watched[count++] = pollfd{displayFd_, POLLIN, 0};
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
    const timespec timeout{static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
    if (ppoll(watched.data(), count, &timeout, nullptr) > 0 && wakeFd_ >= 0 && watched[0].revents) {
        std::uint64_t wakes = 0;
        static_cast<void>(read(wakeFd_, &wakes, sizeof wakes));
    }
    // Cleared before the lock is taken: a drawing that ends after this wakes the next cycle.
    wakeRequested_.store(false);
}

// X delivers input through one socket; waiting on it lets a click be handled as it arrives instead of at
// the next refresh. Other drivers are pumped every refresh period only.
void SdlBackend::watchDisplayConnection() {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window_, &info) && info.subsystem == SDL_SYSWM_X11)
        displayFd_ = ConnectionNumber(info.info.x11.display);
}

void SdlBackend::setTitle(std::string_view title) {
    std::lock_guard hold(titleMutex_);
    pendingTitle_ = std::string(title);
    titleChanged_ = true;
}

void SdlBackend::run(std::promise<bool> started) {
    forbidExitOnCurrentThread();
    // Interrupt and termination belong to the program's thread, where the frame reports them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    bool ok;
    {
        ScreenLock lock;
        ok = createWindow();
        if (!ok) destroyWindow();
    }
    if (!ok) {
        SDL_TLSCleanup();  // SDL keeps per-thread data that it frees only for its own threads
        started.set_value(false);
        return;
    }
    started.set_value(true);

    // Every refresh period at the latest, earlier when drawing or input wakes the thread.
    auto next = std::chrono::steady_clock::now() + refreshPeriod;
    while (!stopping_.load()) {
        waitForWork(next);
        const auto now = std::chrono::steady_clock::now();
        if (now >= next) next = std::max(next + refreshPeriod, now);  // after a stall, do not catch up
        ScreenLock lock;
        present();
        pumpEvents();
        // The platform's key state changes only with key and focus events: read it after those.
        if (keyboardChanged_ && translator_.windowActive()) readKeyboard();
        keyboardChanged_ = false;
        applyPendingTitle();
    }
    ScreenLock lock;
    destroyWindow();
    SDL_TLSCleanup();
}

bool SdlBackend::createWindow() {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "0");  // the translator decides when to capture
    // Left alone, SDL drops a click that comes within a few milliseconds of the window gaining focus; a
    // click that activates the window is still a click.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_VIDEODRIVER, videoDrivers().c_str());
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    videoStarted_ = true;

    Uint32 windowFlags = SDL_WINDOW_HIDDEN;
    if (flags_ & ScreenFullScreen) windowFlags |= SDL_WINDOW_FULLSCREEN;
    if (flags_ & ScreenNoFrame) windowFlags |= SDL_WINDOW_BORDERLESS;
    if (openGL_) windowFlags |= SDL_WINDOW_OPENGL;
    std::string title;
    {
        std::lock_guard hold(titleMutex_);
        title = pendingTitle_;
        titleChanged_ = false;
    }
    const int w = screen_->width, h = screen_->height;
    window_ = (flags_ & ScreenShaped) ? SDL_CreateShapedWindow(title.c_str(), SDL_WINDOWPOS_CENTERED,
                                                               SDL_WINDOWPOS_CENTERED, w, h, windowFlags)
                                      : SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED,
                                                         SDL_WINDOWPOS_CENTERED, w, h, windowFlags);
    if (!window_) return false;

    if (openGL_) {
        glContext_ = SDL_GL_CreateContext(window_);
        if (!glContext_) return false;
        SDL_GL_SetSwapInterval(0);
        if (!loadGlFunctions(gl_)) return false;
        keepGlDriverLoaded();
        gl_.genTextures(1, &texture_);
        gl_.bindTexture(GL_TEXTURE_2D, texture_);
        gl_.texParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        gl_.texParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        gl_.texImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
        if (gl_.getError() != GL_NO_ERROR) return false;
        lineBuffer_.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4);
    } else if (!SDL_GetWindowSurface(window_)) {
        return false;
    }

    if (SDL_Surface* icon = makeIcon()) {
        SDL_SetWindowIcon(window_, icon);
        SDL_FreeSurface(icon);
    }
    cursor_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    if (cursor_) SDL_SetCursor(cursor_);
    SDL_StopTextInput();  // characters come from the key events

    if (flags_ & ScreenFullScreen) chooseFullScreenMode();
    SDL_ShowWindow(window_);
    if (!(flags_ & ScreenFullScreen)) centreWindow();
    SDL_RaiseWindow(window_);
    if (flags_ & ScreenShaped) updateShape();
    watchDisplayConnection();

    // The window is active as soon as it is shown: the focus events reach the queue before any input.
    focused_ = true;
    minimised_ = false;
    translator_.activationChanged(true, false, pointerOverClient());
    if ((flags_ & ScreenHighPriority)) SDL_SetThreadPriority(SDL_THREAD_PRIORITY_HIGH);
    markAllDirty(*screen_);
    return true;
}

void SdlBackend::destroyWindow() {
    if (shape_) SDL_FreeSurface(shape_);
    shape_ = nullptr;
    if (glContext_) {
        if (texture_) gl_.deleteTextures(1, &texture_);
        SDL_GL_DeleteContext(glContext_);
    }
    glContext_ = nullptr;
    if (capturing_) releasePointer();
    if (window_) SDL_DestroyWindow(window_);
    window_ = nullptr;
    if (cursor_) SDL_FreeCursor(cursor_);
    cursor_ = nullptr;
    if (videoStarted_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    videoStarted_ = false;
}

// Centred by the outer size, as the desktop sees the window: half the free space on each side.
void SdlBackend::centreWindow() {
    SDL_Rect desktop;
    const int display = SDL_GetWindowDisplayIndex(window_);
    if (SDL_GetDisplayBounds(display < 0 ? 0 : display, &desktop) != 0) return;
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(window_, &top, &left, &bottom, &right) != 0) top = left = bottom = right = 0;
    const int outerWidth = screen_->width + left + right;
    const int outerHeight = screen_->height + top + bottom;
    SDL_SetWindowPosition(window_, desktop.x + ((desktop.w - outerWidth) >> 1) + left,
                          desktop.y + ((desktop.h - outerHeight) >> 1) + top);
}

bool SdlBackend::pointerOverClient() const {
    int px = 0, py = 0, wx = 0, wy = 0;
    SDL_GetGlobalMouseState(&px, &py);
    SDL_GetWindowPosition(window_, &wx, &wy);
    return px >= wx && py >= wy && px < wx + screen_->width && py < wy + screen_->height;
}

void SdlBackend::present() {
    if (paletteDirty_.exchange(false)) markAllDirty(*screen_);
    std::array<LineSpan, maxSpans> spans;
    const std::size_t count = takeDirtySpans(*screen_, spans);
    if (count == 0) return;
    const std::span<const LineSpan> taken(spans.data(), count);
    const auto began = std::chrono::steady_clock::now();
    if (openGL_) {
        presentOpenGL(taken);
    } else {
        presentSoftware(taken);
    }
    screen_->lastTransferNanoseconds =
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - began)
            .count();
    if (flags_ & ScreenShaped) updateShape();
}

void SdlBackend::presentSoftware(std::span<const LineSpan> spans) {
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    if (!surface) return;
    const PixelLayout layout = layoutOf(*surface->format);
    const int height = std::min(surface->h, screen_->height);
    if (surface->w < screen_->width) return;
    std::array<SDL_Rect, maxSpans> rects;
    std::size_t used = 0;
    if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
    for (const LineSpan& span : spans) {
        const int last = std::min(span.last, height - 1);
        if (span.first > last) continue;
        for (int y = span.first; y <= last; ++y) {
            convertLine(*screen_, y, layout,
                        static_cast<std::uint8_t*>(surface->pixels) + y * surface->pitch);
        }
        rects[used++] = SDL_Rect{0, span.first, screen_->width, last - span.first + 1};
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    if (used > 0) SDL_UpdateWindowSurfaceRects(window_, rects.data(), static_cast<int>(used));
}

void SdlBackend::presentOpenGL(std::span<const LineSpan> spans) {
    const PixelLayout bgra;  // GL_BGRA bytes are the screen's own 32-bit layout
    const auto rowBytes = static_cast<std::size_t>(screen_->width) * 4;
    gl_.bindTexture(GL_TEXTURE_2D, texture_);
    for (const LineSpan& span : spans) {
        for (int y = span.first; y <= span.last; ++y) {
            convertLine(*screen_, y, bgra, lineBuffer_.data() + static_cast<std::size_t>(y) * rowBytes);
        }
        gl_.texSubImage2D(GL_TEXTURE_2D, 0, 0, span.first, screen_->width, span.last - span.first + 1,
                          GL_BGRA, GL_UNSIGNED_BYTE,
                          lineBuffer_.data() + static_cast<std::size_t>(span.first) * rowBytes);
    }
    // A swap leaves the back buffer undefined, so every frame draws the whole texture.
    int drawableWidth = screen_->width, drawableHeight = screen_->height;
    SDL_GL_GetDrawableSize(window_, &drawableWidth, &drawableHeight);
    gl_.viewport(0, 0, drawableWidth, drawableHeight);
    gl_.matrixMode(GL_PROJECTION);
    gl_.loadIdentity();
    gl_.ortho(0, 1, 1, 0, -1, 1);
    gl_.matrixMode(GL_MODELVIEW);
    gl_.loadIdentity();
    gl_.enable(GL_TEXTURE_2D);
    gl_.begin(GL_QUADS);
    gl_.texCoord2f(0, 0);
    gl_.vertex2f(0, 0);
    gl_.texCoord2f(1, 0);
    gl_.vertex2f(1, 0);
    gl_.texCoord2f(1, 1);
    gl_.vertex2f(1, 1);
    gl_.texCoord2f(0, 1);
    gl_.vertex2f(0, 1);
    gl_.end();
    SDL_GL_SwapWindow(window_);
}

// A shaped window shows the pixels whose alpha byte is not 0 (paletted and 16-bit screens: all).
void SdlBackend::updateShape() {
    if (!shape_) {
        shape_ =
            SDL_CreateRGBSurfaceWithFormat(0, screen_->width, screen_->height, 32, SDL_PIXELFORMAT_ARGB8888);
        if (!shape_) return;
    }
    for (int y = 0; y < screen_->height; ++y) {
        auto* out =
            reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(shape_->pixels) + y * shape_->pitch);
        const std::uint8_t* in =
            screen_->visiblePixels() + static_cast<std::size_t>(y) * static_cast<std::size_t>(screen_->pitch);
        for (int x = 0; x < screen_->width; ++x, in += screen_->bytesPerPixel) {
            const std::uint32_t alpha =
                screen_->bytesPerPixel == 4 ? (in[3] ? 0xFF000000u : 0u) : 0xFF000000u;
            out[x] = alpha | shownColour(*screen_, in);
        }
    }
    SDL_WindowShapeMode mode;
    mode.mode = ShapeModeBinarizeAlpha;
    mode.parameters.binarizationCutoff = 1;
    SDL_SetWindowShape(window_, shape_, &mode);
}

void SdlBackend::readKeyboard() {
    int count = 0;
    const Uint8* keys = SDL_GetKeyboardState(&count);
    screen_->keyState.fill(0);
    for (int hid = 0; hid < count; ++hid) {
        if (!keys[hid]) continue;
        const std::int32_t code = pcScanCode(hid);
        if (code > 0 && code < static_cast<std::int32_t>(screen_->keyState.size()))
            screen_->keyState[static_cast<std::size_t>(code)] = 1;
    }
}

void SdlBackend::pumpEvents() {
    const Uint32 windowId = SDL_GetWindowID(window_);
    // One read of the display per cycle; polling would read it again for every event.
    SDL_PumpEvents();
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
        switch (event.type) {
            case SDL_MOUSEMOTION: {
                if (event.motion.windowID != windowId || event.motion.which == SDL_TOUCH_MOUSEID) break;
                int wx = 0, wy = 0;
                SDL_GetWindowPosition(window_, &wx, &wy);
                translator_.motion(event.motion.x, event.motion.y, wx + event.motion.x, wy + event.motion.y);
                break;
            }
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP: {
                const std::int32_t button = mouseButtonCode(event.button.button);
                if (event.button.windowID != windowId || button == 0) break;
                if (event.type == SDL_MOUSEBUTTONDOWN) {
                    // Every second press of a series is the platform's double click.
                    translator_.buttonPressed(button,
                                              event.button.clicks >= 2 && event.button.clicks % 2 == 0);
                } else {
                    translator_.buttonReleased(button);
                }
                break;
            }
            case SDL_MOUSEWHEEL: {
                if (event.wheel.windowID != windowId) break;
                const int sign = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1 : 1;
                if (event.wheel.y != 0) translator_.wheel(sign * event.wheel.y);
                if (event.wheel.x != 0) translator_.horizontalWheel(sign * event.wheel.x);
                break;
            }
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                keyboardChanged_ = true;
                if (event.key.windowID == windowId) handleKey(event.key);
                break;
            case SDL_WINDOWEVENT:
                if (event.window.windowID == windowId) handleWindowEvent(event.window);
                break;
            default:
                // SDL_QUIT follows the window's close event: the close was already translated once.
                break;
        }
    }
}

void SdlBackend::handleKey(const SDL_KeyboardEvent& event) {
    const bool altEnter = (event.keysym.mod & KMOD_ALT) &&
                          (event.keysym.sym == SDLK_RETURN || event.keysym.sym == SDLK_KP_ENTER);
    if (altEnter && event.type == SDL_KEYDOWN && !event.repeat && !(flags_ & ScreenNoSwitch))
        toggleFullScreen();
    const KeyNotification key = keyNotification(event);
    if (event.type == SDL_KEYDOWN) {
        translator_.keyPressed(key);
    } else {
        translator_.keyReleased(key);
    }
}

void SdlBackend::toggleFullScreen() {
    const bool full = (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN) != 0;
    if (full) {
        SDL_SetWindowFullscreen(window_, 0);
    } else {
        chooseFullScreenMode();
        SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN);
    }
    markAllDirty(*screen_);
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

void SdlBackend::handleWindowEvent(const SDL_WindowEvent& event) {
    switch (event.event) {
        case SDL_WINDOWEVENT_CLOSE:
            translator_.closeRequested();
            break;
        case SDL_WINDOWEVENT_LEAVE:
            // A one-time notification, as asked for by the enter rule.
            if (trackingLeave_) {
                trackingLeave_ = false;
                translator_.pointerLeft();
            }
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            focused_ = true;
            updateActivation();
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            focused_ = false;
            updateActivation();
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            minimised_ = true;
            updateActivation();
            break;
        case SDL_WINDOWEVENT_RESTORED:
            minimised_ = false;
            updateActivation();
            markAllDirty(*screen_);
            break;
        case SDL_WINDOWEVENT_MAXIMIZED:
            // The size is fixed: a maximise request switches to full screen, or with no switching does
            // nothing.
            SDL_RestoreWindow(window_);
            if (!(flags_ & ScreenNoSwitch)) toggleFullScreen();
            break;
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            markAllDirty(*screen_);
            break;
        default:
            break;
    }
}

void SdlBackend::updateActivation() {
    const bool active = focused_ && !minimised_;
    if (active == translator_.windowActive()) return;  // the platform repeats itself; events mark changes
    translator_.activationChanged(focused_, minimised_, pointerOverClient());
    if (flags_ & ScreenHighPriority) {
        SDL_SetThreadPriority(active ? SDL_THREAD_PRIORITY_HIGH : SDL_THREAD_PRIORITY_NORMAL);
    }
}

void SdlBackend::applyPendingTitle() {
    if (!titleChanged_.load()) return;
    std::string title;
    {
        std::lock_guard hold(titleMutex_);
        title = pendingTitle_;
        titleChanged_ = false;
    }
    SDL_SetWindowTitle(window_, title.c_str());
}

}  // namespace

std::unique_ptr<Backend> makeSdlSoftwareBackend(std::int32_t flags) {
    if (flags & ScreenOpenGL) return nullptr;
    return makeSdlBackend(flags, false);
}

std::unique_ptr<Backend> makeSdlOpenGLBackend(std::int32_t flags) {
    if (!(flags & ScreenOpenGL)) return nullptr;
    return makeSdlBackend(flags, true);
}

}  // namespace zopp
