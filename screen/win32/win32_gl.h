// Presentation through OpenGL in the Win32 window: dirty lines update a texture of the screen's size,
// which is drawn over the whole client area at every frame. The system's OpenGL library is loaded only
// when a window asks for OpenGL; where it is missing, or makes no context, the window does not open.
#pragma once

#include <windows.h>

#include <GL/gl.h>

#include <cstdint>
#include <span>
#include <vector>

#include "screen/screen_state.h"

namespace zopp {

class Win32GlPresenter {
  public:
    Win32GlPresenter() = default;
    ~Win32GlPresenter();  // releases the texture, the context and the library; before the window goes
    Win32GlPresenter(const Win32GlPresenter&) = delete;
    Win32GlPresenter& operator=(const Win32GlPresenter&) = delete;

    // Gives the window's device context an OpenGL pixel format and a context current on this thread.
    // A window's pixel format is set once for its life, so the window is not reused after a failure.
    bool start(HWND window, HDC dc, const ScreenState& screen);
    void present(std::span<const LineSpan> spans);
    // Draws what the texture holds again (the window was uncovered).
    void redraw();

  private:
    // OpenGL 1.1, as the system's library exports it.
    struct Functions {
        decltype(&wglCreateContext) createContext = nullptr;
        decltype(&wglMakeCurrent) makeCurrent = nullptr;
        decltype(&wglDeleteContext) deleteContext = nullptr;
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
    bool loadFunctions();
    void drawWholeTexture();

    HMODULE library_ = nullptr;
    Functions gl_;
    HWND window_ = nullptr;
    HDC dc_ = nullptr;
    HGLRC context_ = nullptr;
    GLuint texture_ = 0;
    const ScreenState* screen_ = nullptr;
    std::vector<std::uint8_t> lines_;  // converted lines, the texture's layout
};

}  // namespace zopp
