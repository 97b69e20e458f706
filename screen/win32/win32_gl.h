// OpenGL in the Win32 window: a context on the window's device context, over which the shared OpenGL
// presenter shows the screen. The system's OpenGL library is loaded only when a window asks for OpenGL;
// where it is missing, or makes no context, the window does not open.
#pragma once

#include <windows.h>

#include <memory>

#include "screen/backend/gl_texture.h"
#include "screen/state/screen_state.h"

namespace zopp {

class Win32GlContext {
  public:
    Win32GlContext() = default;
    ~Win32GlContext();  // releases the presenter, the context and the library; before the window goes
    Win32GlContext(const Win32GlContext&) = delete;
    Win32GlContext& operator=(const Win32GlContext&) = delete;

    // Gives the window's device context an OpenGL pixel format and a context current on this thread,
    // and starts the presenter over it. A window's pixel format is set once for its life, so the window
    // is not reused after a failure.
    bool start(HWND window, HDC dc, const ScreenState& screen);
    Presenter& presenter() { return *presenter_; }

  private:
    HMODULE library_ = nullptr;
    decltype(&wglMakeCurrent) makeCurrent_ = nullptr;
    decltype(&wglDeleteContext) deleteContext_ = nullptr;
    HGLRC context_ = nullptr;
    std::unique_ptr<GlPresenter> presenter_;
};

}  // namespace zopp
