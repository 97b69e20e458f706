// The SDL2 back-end: one window per open screen, shown through its window surface or, with the OpenGL
// flag, through an OpenGL texture. Internal to this folder; the layer reaches it through
// platformBackendFactories().
#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "screen/backend/backend.h"
#include "screen/sdl/sdl_beep.h"
#include "screen/sdl/sdl_present.h"
#include "screen/sdl/sdl_shape.h"
#include "screen/sdl/sdl_wait.h"
#include "screen/sdl/sdl_x11_pointer.h"

namespace zopp {

// The video drivers SDL may use here; empty when the environment names no display.
std::string videoDrivers();

class SdlBackend final : public Backend {
  public:
    SdlBackend(std::int32_t flags, bool openGL) : flags_(flags), openGL_(openGL) {}

    bool createWindow(ScreenState& screen, std::int32_t refreshRate, std::string_view title,
                      EventTranslator& translator) override;
    void destroyWindow() override;
    Presenter& presenter() override { return *presenter_; }
    void framePresented(std::int32_t k) override {
        if (shape_) shape_->update(window_, *screen_, k);
    }
    void resizeClient(std::int32_t width, std::int32_t height) override;
    void pumpInput(EventTranslator& translator) override;
    // Events SDL queued after the last pump (by calls made while translating) count as input too.
    bool waitForInput(std::optional<std::chrono::nanoseconds> timeout) override {
        return SDL_HasEvents(SDL_FIRSTEVENT, kLastSdlInputEvent) == SDL_TRUE || waiter_.wait(timeout);
    }
    void wake() override { waiter_.wake(); }
    void setTitle(std::string_view title) override;
    void toggleFullScreen() override;
    void raisePriority(bool raised) override {
        SDL_SetThreadPriority(raised ? SDL_THREAD_PRIORITY_HIGH : SDL_THREAD_PRIORITY_NORMAL);
    }
    void capturePointer() override;
    void releasePointer() override;
    bool holdsPointer() const override { return capturing_; }
    bool pointerOverClient() const override;
    BeepSoundHook soundOutput() const override { return playSdlTone; }

  private:
    // sdl_window.cpp
    bool openWindow(std::string_view title);
    void showWindow();
    void attachToDisplay();
    void centreWindow();
    void chooseFullScreenMode();
    // sdl_events.cpp
    void handleWindowEvent(const SDL_WindowEvent& event);
    void translateSdlPointer(const SDL_Event& event);
    bool madeUpOnTheWayOut(const SDL_MouseMotionEvent& motion) const;

    const std::int32_t flags_;
    const bool openGL_;
    SdlWait waiter_;  // any thread wakes it; the refresh thread waits in it

    // The rest is the refresh thread's.
    ScreenState* screen_ = nullptr;
    std::int32_t refreshRate_ = 0;
    EventTranslator* translator_ = nullptr;
    bool videoStarted_ = false;
    SDL_Window* window_ = nullptr;
    SDL_Cursor* cursor_ = nullptr;
    SDL_GLContext glContext_ = nullptr;  // with the OpenGL flag
    std::unique_ptr<Presenter> presenter_;
    std::optional<SdlShape> shape_;
    std::optional<X11Pointer> x11Pointer_;  // on X11 the pointer comes from X's notifications
    bool capturing_ = false;
    std::string title_;  // a shaped window made again at another size takes it
    // The client area the loop asked for: the screen at its factor.
    std::int32_t clientWidth_ = 0, clientHeight_ = 0;
};

}  // namespace zopp
