// Presentation through OpenGL 1.1, shared by the back-ends that offer the OpenGL flag: dirty lines update
// a texture of the screen's size, which is drawn over the whole drawable at every frame. The program links
// no GL library: a back-end fills the entry points from the library its context came from.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "screen/screen_state.h"

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

// Fills every entry with what `lookup` finds for its name (nullptr: missing). False when any is missing.
bool loadGlFunctions(GlFunctions& gl, const std::function<void*(const char* name)>& lookup);

// The screen as a texture. Every call needs the context that created it current on the calling thread.
class GlTexture {
  public:
    // False on a GL error.
    bool create(const GlFunctions& gl, const ScreenState& screen);
    // Deletes the texture, if one was made; before its context goes.
    void destroy();
    // The spans' lines of the visible page, converted to the texture's layout.
    void update(std::span<const LineSpan> spans);
    // The whole texture over a drawable of width × height. A swap leaves the back buffer undefined, so
    // every frame draws it all.
    void draw(std::int32_t width, std::int32_t height);

  private:
    const GlFunctions* gl_ = nullptr;
    const ScreenState* screen_ = nullptr;
    GLuint texture_ = 0;
    std::vector<std::uint8_t> lines_;  // converted lines, the texture's layout
};

}  // namespace zopp
