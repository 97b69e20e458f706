// Presentation through OpenGL 1.1, shared by the back-ends that offer the OpenGL flag: dirty lines update
// a texture of the screen's size, which is drawn over the whole drawable and shown at every frame. The
// program links no GL library: a back-end makes the context, and gives the presenter a lookup of the entry
// points in the library the context came from and the swap that shows a drawn frame.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <functional>
#include <span>

#include "screen/state/screen_state.h"
#include "screen/window/window_lines.h"

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
    // Fills the entry points through lookup and makes the texture. False when an entry point is missing
    // or GL reports an error.
    bool create(const GlLookup& lookup, std::function<void()> swap, const ScreenState& screen);
    // Deletes the texture, if one was made; before its context goes.
    void destroy();
    // The spans' lines of the visible page into the texture, then the whole texture shown over a drawable
    // of width × height.
    void present(std::span<const LineSpan> spans, std::int32_t width, std::int32_t height);
    // The texture shown again as it is (the window was uncovered).
    void redraw(std::int32_t width, std::int32_t height);

  private:
    GlFunctions gl_;
    std::function<void()> swap_;
    const ScreenState* screen_ = nullptr;
    GLuint texture_ = 0;
    LineConverter lines_;  // to the texture's layout: the screen's own 32-bit one
};

}  // namespace zopp
