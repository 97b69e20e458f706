// Presentation through the window surface: the dirty lines in the surface's own pixel layout are blown up
// by the window's factor into the window surface (SDL's scaled blit takes the nearest pixel, so no colour
// is made up) and the changed rectangles pushed to the window.
#include <algorithm>
#include <array>

#include "screen/sdl/sdl_present.h"
#include "screen/window/backend.h"
#include "screen/window/window_lines.h"

namespace zopp {

namespace {

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

class SurfacePresenter final : public SdlPresenter {
  public:
    bool start(SDL_Window* window, const ScreenState& screen) override {
        window_ = window;
        screen_ = &screen;
        return SDL_GetWindowSurface(window) != nullptr;
    }

    void present(std::span<const LineSpan> spans, std::int32_t scale) override {
        SDL_Surface* surface = SDL_GetWindowSurface(window_);
        if (!surface || surface->w < screen_->width * scale) return;
        lines_.setLayout(layoutOf(*surface->format));
        std::array<SDL_Rect, maxPresentSpans> rects;
        std::size_t used = 0;
        lines_.forEachSpan(*screen_, spans.first(std::min(spans.size(), rects.size())),
                           [&](const ConvertedLines& lines) {
                               if (blitScaled(lines, *surface, scale, rects[used])) ++used;
                           });
        if (used > 0) SDL_UpdateWindowSurfaceRects(window_, rects.data(), static_cast<int>(used));
    }

  private:
    // The lines blown up into the window surface, through a surface over them in the window surface's
    // own format (which a scaled blit needs); `to` receives the rectangle written.
    bool blitScaled(const ConvertedLines& lines, SDL_Surface& surface, std::int32_t scale, SDL_Rect& to) {
        const SDL_PixelFormat& format = *surface.format;
        SDL_Surface* from = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<std::uint8_t*>(lines.pixels), screen_->width, lines.count, format.BitsPerPixel,
            screen_->width * format.BytesPerPixel, format.format);
        if (from == nullptr) return false;
        // A copy, never a blend, whatever alpha the format has.
        SDL_SetSurfaceBlendMode(from, SDL_BLENDMODE_NONE);
        to = SDL_Rect{0, lines.first * scale, screen_->width * scale, lines.count * scale};
        const bool blitted = SDL_BlitScaled(from, nullptr, &surface, &to) == 0;
        SDL_FreeSurface(from);
        return blitted;
    }

    SDL_Window* window_ = nullptr;
    const ScreenState* screen_ = nullptr;
    LineConverter lines_;
};

}  // namespace

std::unique_ptr<SdlPresenter> makeSurfacePresenter() {
    return std::make_unique<SurfacePresenter>();
}

}  // namespace zopp
