// Presentation through OpenGL 1.1, shared by the back-ends that offer the OpenGL flag: a frame's rows update
// a texture of the screen's size, which is drawn over the whole drawable and shown at every frame. The
// program links no GL library: a back-end makes the context, and gives the presenter a few calls of it (a
// lookup of the entry points in the library the context came from, the swap that shows a drawn frame, and
// the drawable's size).
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <functional>

#include "screen/backend/presenter.h"
#include "screen/backend/window_lines.h"
#include "screen/state/screen_state.h"

namespace zopp {

struct GlFunctions {
    decltype(&glGenTextures) genTextures = nullptr;
    decltype(&glDeleteTextures) deleteTextures = nullptr;
    decltype(&glBindTexture) bindTexture = nullptr;
    decltype(&glTexParameteri) texParameteri = nullptr;
    decltype(&glTexImage2D) texImage2D = nullptr;
    decltype(&glTexSubImage2D) texSubImage2D = nullptr;
    decltype(&glGetError) getError = nullptr;
    decltype(&glViewport) viewport = nullptr;
    decltype(&glMatrixMode) matrixMode = nullptr;
    decltype(&glLoadIdentity) loadIdentity = nullptr;
    decltype(&glOrtho) ortho = nullptr;
    decltype(&glEnable) enable = nullptr;
    decltype(&glBegin) begin = nullptr;
    decltype(&glEnd) end = nullptr;
    decltype(&glTexCoord2f) texCoord2f = nullptr;
    decltype(&glVertex2f) vertex2f = nullptr;
};

// An entry point by its name; nullptr when the library has none.
using GlLookup = std::function<void*(const char* name)>;

// The screen as a texture. Every call needs the context it was created in current on the calling thread.
class GlTexture {
  public:
    // Fills the entry points through lookup and makes a texture of the screen's size. False when an entry
    // point is missing or GL reports an error.
    bool create(const GlLookup& lookup, const ScreenState& screen);
    // Deletes the texture, if one was made; before its context goes.
    void destroy();
    // Rows in the screen's own 32-bit layout into the same lines of the texture.
    void upload(const ConvertedLines& rows);
    // The whole texture drawn over a drawable of width × height.
    void draw(std::int32_t width, std::int32_t height);

  private:
    GlFunctions gl_;
    std::int32_t width_ = 0;
    GLuint texture_ = 0;
};

// What a back-end's OpenGL context gives the presenter.
struct GlContext {
    GlLookup lookup;
    std::function<void()> swap;  // shows the drawn frame
    std::function<void(std::int32_t& width, std::int32_t& height)> drawableSize;
};

// The presenter of every back-end's OpenGL window: rows into the texture, then the whole texture drawn
// over the whole drawable (which full screen may make larger than the screen at k) and shown. Nearest
// filtering keeps each screen pixel one colour at every factor.
class GlPresenter final : public Presenter {
  public:
    // False when the texture could not be made. The context must be current.
    bool start(GlContext context, const ScreenState& screen);
    // Deletes the texture; before the context goes.
    ~GlPresenter() override { texture_.destroy(); }

    PixelLayout pixelLayout() override { return {}; }
    void transferRows(const ConvertedLines& rows, std::int32_t) override { texture_.upload(rows); }
    void finish() override;

  private:
    GlContext context_;
    GlTexture texture_;
};

}  // namespace zopp
