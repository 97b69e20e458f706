// OpenGL in the Win32 window: a context on the window's device context, through which the shared texture
// presenter shows the screen. The system's OpenGL library is loaded only when a window asks for OpenGL;
// where it is missing, or makes no context, the window does not open.
#pragma once

#include <windows.h>

#include <span>

#include "screen/state/screen_state.h"
#include "screen/window/gl_texture.h"

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
    // The client area, which full screen may have made larger than the screen.
    SIZE clientSize() const;

    HMODULE library_ = nullptr;
    decltype(&wglMakeCurrent) makeCurrent_ = nullptr;
    decltype(&wglDeleteContext) deleteContext_ = nullptr;
    HWND window_ = nullptr;
    HGLRC context_ = nullptr;
    GlTexture texture_;
};

}  // namespace zopp
