#include "screen/sdl/sdl_shape.h"

#include <SDL_shape.h>

#include "screen/backend/window_shape.h"

namespace zopp {

SdlShape::~SdlShape() {
    if (mask_) SDL_FreeSurface(mask_);
}

void SdlShape::update(SDL_Window* window, const ScreenState& screen, std::int32_t scale) {
    if (mask_ && mask_->w != screen.width * scale) {
        SDL_FreeSurface(mask_);
        mask_ = nullptr;
    }
    if (!mask_) {
        mask_ = SDL_CreateRGBSurfaceWithFormat(0, screen.width * scale, screen.height * scale, 32,
                                               SDL_PIXELFORMAT_ARGB8888);
        if (!mask_) return;
    }
    // Only the mask's alpha counts.
    SDL_FillRect(mask_, nullptr, 0);
    for (const ShapeRun& run : shapeRuns(screen)) {
        SDL_Rect shown{run.first * scale, run.y * scale, (run.end - run.first) * scale, scale};
        SDL_FillRect(mask_, &shown, 0xFF000000u);
    }
    SDL_WindowShapeMode mode;
    mode.mode = ShapeModeBinarizeAlpha;
    mode.parameters.binarizationCutoff = 1;
    SDL_SetWindowShape(window, mask_, &mode);
}

}  // namespace zopp
