// How the SDL window receives rows: through its window surface, or through the shared OpenGL presenter
// over a context made on the window.
#pragma once

#include <SDL.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "screen/backend/presenter.h"
#include "screen/state/screen_state.h"

namespace zopp {

// Rows blown up by k into the window surface (SDL's scaled blit takes the nearest pixel, so no colour is
// made up), the changed rectangles pushed to the window when the frame is finished.
class SdlSurfacePresenter final : public Presenter {
  public:
    SdlSurfacePresenter(SDL_Window* window, const ScreenState& screen) : window_(window), screen_(screen) {}
    ~SdlSurfacePresenter() override;
    SdlSurfacePresenter(const SdlSurfacePresenter&) = delete;
    SdlSurfacePresenter& operator=(const SdlSurfacePresenter&) = delete;

    // False when the window has no surface.
    bool start() const { return SDL_GetWindowSurface(window_) != nullptr; }

    PixelLayout pixelLayout() override;
    void transferRows(const ConvertedLines& rows, std::int32_t k) override;
    void finish() override;

  private:
    SDL_Window* window_;
    const ScreenState& screen_;
    SDL_Surface* surface_ = nullptr;  // the window's, fetched at the start of each frame
    // A surface of the screen's size in the window surface's format, made once and pointed at the rows
    // handed in (a scaled blit needs a source surface): no frame allocates.
    SDL_Surface* rows_ = nullptr;
    std::array<SDL_Rect, kMaxPresentSpans> rects_{};
    std::size_t used_ = 0;
};

// Makes an OpenGL context on the window (made with SDL_WINDOW_OPENGL) and the shared presenter over it;
// null when either fails, leaving `context` for the caller to delete after the presenter.
std::unique_ptr<Presenter> startGlPresenter(SDL_Window* window, const ScreenState& screen,
                                            SDL_GLContext& context);

}  // namespace zopp
