// The outline of a shaped window, taken from the visible page.
#pragma once

#include <SDL.h>

#include "screen/state/screen_state.h"

namespace zopp {

class SdlShape {
  public:
    SdlShape() = default;
    ~SdlShape();
    SdlShape(const SdlShape&) = delete;
    SdlShape& operator=(const SdlShape&) = delete;

    // Shows what shapeRuns() says of the visible page, each screen pixel scale × scale device pixels.
    void update(SDL_Window* window, const ScreenState& screen, std::int32_t scale);

  private:
    SDL_Surface* mask_ = nullptr;
};

}  // namespace zopp
