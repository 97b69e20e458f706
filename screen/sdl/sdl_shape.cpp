#include "screen/sdl/sdl_shape.h"

#include <SDL_shape.h>

#include "screen/window_lines.h"

namespace zopp {

SdlShape::~SdlShape() {
    if (mask_) SDL_FreeSurface(mask_);
}

void SdlShape::update(SDL_Window* window, const ScreenState& screen) {
    if (!mask_) {
        mask_ = SDL_CreateRGBSurfaceWithFormat(0, screen.width, screen.height, 32, SDL_PIXELFORMAT_ARGB8888);
        if (!mask_) return;
    }
    for (int y = 0; y < screen.height; ++y) {
        auto* out =
            reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(mask_->pixels) + y * mask_->pitch);
        const std::uint8_t* in = screen.pages[static_cast<std::size_t>(screen.visiblePage)].data() +
                                 static_cast<std::size_t>(y) * static_cast<std::size_t>(screen.pitch);
        for (int x = 0; x < screen.width; ++x, in += screen.bytesPerPixel) {
            const std::uint32_t alpha = screen.bytesPerPixel == 4 ? (in[3] ? 0xFF000000u : 0u) : 0xFF000000u;
            out[x] = alpha | shownColour(screen, in);
        }
    }
    SDL_WindowShapeMode mode;
    mode.mode = ShapeModeBinarizeAlpha;
    mode.parameters.binarizationCutoff = 1;
    SDL_SetWindowShape(window, mask_, &mode);
}

}  // namespace zopp
