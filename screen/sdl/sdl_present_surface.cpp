// Presentation through the window surface.
#include "screen/sdl/sdl_present.h"

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

}  // namespace

SdlSurfacePresenter::~SdlSurfacePresenter() {
    if (rows_ != nullptr) SDL_FreeSurface(rows_);
}

PixelLayout SdlSurfacePresenter::pixelLayout() {
    used_ = 0;
    surface_ = SDL_GetWindowSurface(window_);
    if (surface_ == nullptr) return {};
    const SDL_PixelFormat& format = *surface_->format;
    if (rows_ != nullptr && rows_->format->format != format.format) {
        SDL_FreeSurface(rows_);
        rows_ = nullptr;
    }
    if (rows_ == nullptr) {
        rows_ =
            SDL_CreateRGBSurfaceWithFormatFrom(nullptr, screen_.width, screen_.height, format.BitsPerPixel,
                                               screen_.width * format.BytesPerPixel, format.format);
        // A copy, never a blend, whatever alpha the format has.
        if (rows_ != nullptr) SDL_SetSurfaceBlendMode(rows_, SDL_BLENDMODE_NONE);
    }
    return layoutOf(format);
}

// The rows lie at their own lines of a buffer of the screen's size, which the rows' surface is pointed at.
void SdlSurfacePresenter::transferRows(const ConvertedLines& rows, std::int32_t k) {
    if (surface_ == nullptr || rows_ == nullptr || surface_->w < screen_.width * k || used_ == rects_.size())
        return;
    rows_->pixels =
        const_cast<std::uint8_t*>(rows.pixels) - static_cast<std::ptrdiff_t>(rows.first) * rows_->pitch;
    SDL_Rect from{0, rows.first, screen_.width, rows.count};
    SDL_Rect to{0, rows.first * k, screen_.width * k, rows.count * k};
    if (SDL_BlitScaled(rows_, &from, surface_, &to) == 0)
        rects_[used_++] = SDL_Rect{0, rows.first * k, screen_.width * k, rows.count * k};
}

void SdlSurfacePresenter::finish() {
    if (used_ > 0) SDL_UpdateWindowSurfaceRects(window_, rects_.data(), static_cast<int>(used_));
    used_ = 0;
}

}  // namespace zopp
