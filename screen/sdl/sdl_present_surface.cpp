// Presentation through the window surface: each dirty line is converted into the surface's own pixel
// layout in a surface of the screen's size, and the changed rectangles are blown up by the window's factor
// into the window surface (SDL's scaled blit takes the nearest pixel, so no colour is made up) and pushed to
// the window.
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
    ~SurfacePresenter() override {
        if (lines_) SDL_FreeSurface(lines_);
    }

    bool start(SDL_Window* window, const ScreenState& screen) override {
        window_ = window;
        screen_ = &screen;
        return SDL_GetWindowSurface(window) != nullptr;
    }

    void present(std::span<const LineSpan> spans, std::int32_t scale) override {
        SDL_Surface* surface = SDL_GetWindowSurface(window_);
        if (!surface || !linesFor(*surface)) return;
        const PixelLayout layout = layoutOf(*surface->format);
        const int height = std::min(surface->h / scale, screen_->height);
        if (surface->w < screen_->width * scale) return;
        std::array<SDL_Rect, maxPresentSpans> rects;
        std::size_t used = 0;
        for (const LineSpan& span : spans.first(std::min(spans.size(), rects.size()))) {
            const int last = std::min(span.last, height - 1);
            if (span.first > last) continue;
            for (int y = span.first; y <= last; ++y)
                convertLine(*screen_, y, layout,
                            static_cast<std::uint8_t*>(lines_->pixels) + y * lines_->pitch);
            SDL_Rect from{0, span.first, screen_->width, last - span.first + 1};
            rects[used] = SDL_Rect{0, from.y * scale, from.w * scale, from.h * scale};
            SDL_BlitScaled(lines_, &from, surface, &rects[used]);
            ++used;
        }
        if (used > 0) SDL_UpdateWindowSurfaceRects(window_, rects.data(), static_cast<int>(used));
    }

  private:
    // The surface of converted lines, in the window surface's own format (which a scaled blit needs, and
    // which may change with the window's size).
    bool linesFor(const SDL_Surface& surface) {
        if (lines_ && lines_->format->format == surface.format->format) return true;
        if (lines_) SDL_FreeSurface(lines_);
        lines_ = SDL_CreateRGBSurfaceWithFormat(0, screen_->width, screen_->height,
                                                surface.format->BitsPerPixel, surface.format->format);
        // A copy, never a blend, whatever alpha the format has.
        return lines_ != nullptr && SDL_SetSurfaceBlendMode(lines_, SDL_BLENDMODE_NONE) == 0;
    }

    SDL_Window* window_ = nullptr;
    const ScreenState* screen_ = nullptr;
    SDL_Surface* lines_ = nullptr;
};

}  // namespace

std::unique_ptr<SdlPresenter> makeSurfacePresenter() {
    return std::make_unique<SurfacePresenter>();
}

}  // namespace zopp
