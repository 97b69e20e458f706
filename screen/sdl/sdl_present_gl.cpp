// Presentation through OpenGL: the screen's texture drawn over the whole window at every frame.
#include "screen/sdl/sdl_gl_driver.h"
#include "screen/sdl/sdl_present.h"
#include "screen/window/gl_texture.h"

namespace zopp {

namespace {

class OpenGLPresenter final : public SdlPresenter {
  public:
    ~OpenGLPresenter() override {
        if (!context_) return;
        texture_.destroy();
        SDL_GL_DeleteContext(context_);
    }

    bool start(SDL_Window* window, const ScreenState& screen) override {
        window_ = window;
        context_ = SDL_GL_CreateContext(window);
        if (!context_) return false;
        SDL_GL_SetSwapInterval(0);
        keepGlDriverLoaded();
        return texture_.create(
            SDL_GL_GetProcAddress, [window] { SDL_GL_SwapWindow(window); }, screen);
    }

    // The texture covers the whole drawable, which is the screen at the window's factor; nearest
    // filtering keeps each screen pixel one colour.
    void present(std::span<const LineSpan> spans, std::int32_t) override {
        int drawableWidth = 0, drawableHeight = 0;
        SDL_GL_GetDrawableSize(window_, &drawableWidth, &drawableHeight);
        texture_.present(spans, drawableWidth, drawableHeight);
    }

  private:
    SDL_Window* window_ = nullptr;
    SDL_GLContext context_ = nullptr;
    GlTexture texture_;
};

}  // namespace

std::unique_ptr<SdlPresenter> makeOpenGLPresenter() {
    return std::make_unique<OpenGLPresenter>();
}

}  // namespace zopp
