// Presentation through the window surface: each dirty line is converted into the surface's own pixel
// layout, and the changed rectangles are pushed to the window.
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

    void present(std::span<const LineSpan> spans) override {
        SDL_Surface* surface = SDL_GetWindowSurface(window_);
        if (!surface) return;
        const PixelLayout layout = layoutOf(*surface->format);
        const int height = std::min(surface->h, screen_->height);
        if (surface->w < screen_->width) return;
        std::array<SDL_Rect, maxPresentSpans> rects;
        std::size_t used = 0;
        if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
        for (const LineSpan& span : spans.first(std::min(spans.size(), rects.size()))) {
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

  private:
    SDL_Window* window_ = nullptr;
    const ScreenState* screen_ = nullptr;
};

}  // namespace

std::unique_ptr<SdlPresenter> makeSurfacePresenter() {
    return std::make_unique<SurfacePresenter>();
}

}  // namespace zopp
