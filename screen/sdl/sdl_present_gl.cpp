// Presentation through OpenGL: dirty lines update a texture of the screen's size, which is drawn over
// the whole window at every frame.
#include <vector>

#include "screen/sdl/sdl_gl_functions.h"
#include "screen/sdl/sdl_present.h"
#include "screen/window_lines.h"

namespace zopp {

namespace {

class OpenGLPresenter final : public SdlPresenter {
  public:
    ~OpenGLPresenter() override {
        if (!context_) return;
        if (texture_) gl_.deleteTextures(1, &texture_);
        SDL_GL_DeleteContext(context_);
    }

    bool start(SDL_Window* window, const ScreenState& screen) override {
        window_ = window;
        screen_ = &screen;
        context_ = SDL_GL_CreateContext(window);
        if (!context_) return false;
        SDL_GL_SetSwapInterval(0);
        if (!loadGlFunctions(gl_)) return false;
        keepGlDriverLoaded();
        gl_.genTextures(1, &texture_);
        gl_.bindTexture(GL_TEXTURE_2D, texture_);
        gl_.texParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        gl_.texParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        gl_.texImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, screen.width, screen.height, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                       nullptr);
        if (gl_.getError() != GL_NO_ERROR) return false;
        lineBuffer_.resize(static_cast<std::size_t>(screen.width) * static_cast<std::size_t>(screen.height) *
                           4);
        return true;
    }

    void present(std::span<const LineSpan> spans) override {
        const PixelLayout bgra;  // GL_BGRA bytes are the screen's own 32-bit layout
        const auto rowBytes = static_cast<std::size_t>(screen_->width) * 4;
        gl_.bindTexture(GL_TEXTURE_2D, texture_);
        for (const LineSpan& span : spans) {
            for (int y = span.first; y <= span.last; ++y) {
                convertLine(*screen_, y, bgra, lineBuffer_.data() + static_cast<std::size_t>(y) * rowBytes);
            }
            gl_.texSubImage2D(GL_TEXTURE_2D, 0, 0, span.first, screen_->width, span.last - span.first + 1,
                              GL_BGRA, GL_UNSIGNED_BYTE,
                              lineBuffer_.data() + static_cast<std::size_t>(span.first) * rowBytes);
        }
        drawWholeTexture();
        SDL_GL_SwapWindow(window_);
    }

  private:
    // A swap leaves the back buffer undefined, so every frame draws the whole texture.
    void drawWholeTexture() {
        int drawableWidth = screen_->width, drawableHeight = screen_->height;
        SDL_GL_GetDrawableSize(window_, &drawableWidth, &drawableHeight);
        gl_.viewport(0, 0, drawableWidth, drawableHeight);
        gl_.matrixMode(GL_PROJECTION);
        gl_.loadIdentity();
        gl_.ortho(0, 1, 1, 0, -1, 1);
        gl_.matrixMode(GL_MODELVIEW);
        gl_.loadIdentity();
        gl_.enable(GL_TEXTURE_2D);
        gl_.begin(GL_QUADS);
        gl_.texCoord2f(0, 0);
        gl_.vertex2f(0, 0);
        gl_.texCoord2f(1, 0);
        gl_.vertex2f(1, 0);
        gl_.texCoord2f(1, 1);
        gl_.vertex2f(1, 1);
        gl_.texCoord2f(0, 1);
        gl_.vertex2f(0, 1);
        gl_.end();
    }

    SDL_Window* window_ = nullptr;
    const ScreenState* screen_ = nullptr;
    SDL_GLContext context_ = nullptr;
    GlFunctions gl_;
    GLuint texture_ = 0;
    std::vector<std::uint8_t> lineBuffer_;  // converted lines, the texture's layout
};

}  // namespace

std::unique_ptr<SdlPresenter> makeOpenGLPresenter() {
    return std::make_unique<OpenGLPresenter>();
}

}  // namespace zopp
