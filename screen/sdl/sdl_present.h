// How the SDL window receives frame-buffer lines: through its window surface, or through an OpenGL
// texture drawn over the whole window.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <span>

#include "screen/state/screen_state.h"

namespace zopp {

class SdlPresenter {
  public:
    virtual ~SdlPresenter() = default;  // releases what start() acquired; before the window goes
    // Prepares the window (created with the presenter's window flags) for the screen. False when it can't.
    virtual bool start(SDL_Window* window, const ScreenState& screen) = 0;
    // The spans' lines into the window, each screen pixel a scale × scale block of device pixels.
    virtual void present(std::span<const LineSpan> spans, std::int32_t scale) = 0;
};

std::unique_ptr<SdlPresenter> makeSurfacePresenter();
std::unique_ptr<SdlPresenter> makeOpenGLPresenter();  // its window needs SDL_WINDOW_OPENGL

}  // namespace zopp
