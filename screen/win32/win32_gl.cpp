#include "screen/win32/win32_gl.h"

#include "screen/window_lines.h"

namespace zopp {

namespace {

// The screen's own 32-bit byte order (blue, green, red, alpha): an extension every Windows OpenGL has.
constexpr GLenum textureLayout = GL_BGRA_EXT;

template <typename Function>
bool load(HMODULE library, Function& function, const char* name) {
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
    return function != nullptr;
}

}  // namespace

Win32GlPresenter::~Win32GlPresenter() {
    if (context_ != nullptr) {
        if (texture_ != 0) gl_.deleteTextures(1, &texture_);
        gl_.makeCurrent(nullptr, nullptr);
        gl_.deleteContext(context_);
    }
    if (library_ != nullptr) FreeLibrary(library_);
}

bool Win32GlPresenter::loadFunctions() {
    return load(library_, gl_.createContext, "wglCreateContext") &&
           load(library_, gl_.makeCurrent, "wglMakeCurrent") &&
           load(library_, gl_.deleteContext, "wglDeleteContext") &&
           load(library_, gl_.genTextures, "glGenTextures") &&
           load(library_, gl_.deleteTextures, "glDeleteTextures") &&
           load(library_, gl_.bindTexture, "glBindTexture") &&
           load(library_, gl_.texParameteri, "glTexParameteri") &&
           load(library_, gl_.texImage2D, "glTexImage2D") &&
           load(library_, gl_.texSubImage2D, "glTexSubImage2D") &&
           load(library_, gl_.getError, "glGetError") && load(library_, gl_.viewport, "glViewport") &&
           load(library_, gl_.matrixMode, "glMatrixMode") &&
           load(library_, gl_.loadIdentity, "glLoadIdentity") && load(library_, gl_.ortho, "glOrtho") &&
           load(library_, gl_.enable, "glEnable") && load(library_, gl_.begin, "glBegin") &&
           load(library_, gl_.end, "glEnd") && load(library_, gl_.texCoord2f, "glTexCoord2f") &&
           load(library_, gl_.vertex2f, "glVertex2f");
}

bool Win32GlPresenter::start(HWND window, HDC dc, const ScreenState& screen) {
    window_ = window;
    dc_ = dc;
    screen_ = &screen;
    library_ = LoadLibraryW(L"opengl32.dll");
    if (library_ == nullptr || !loadFunctions()) return false;

    PIXELFORMATDESCRIPTOR wanted{};
    wanted.nSize = sizeof wanted;
    wanted.nVersion = 1;
    wanted.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    wanted.iPixelType = PFD_TYPE_RGBA;
    wanted.cColorBits = 24;
    wanted.iLayerType = PFD_MAIN_PLANE;
    const int format = ChoosePixelFormat(dc, &wanted);
    if (format == 0 || !SetPixelFormat(dc, format, &wanted)) return false;
    context_ = gl_.createContext(dc);
    if (context_ == nullptr || !gl_.makeCurrent(dc, context_)) return false;

    gl_.genTextures(1, &texture_);
    gl_.bindTexture(GL_TEXTURE_2D, texture_);
    gl_.texParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gl_.texParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    gl_.texImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, screen.width, screen.height, 0, textureLayout,
                   GL_UNSIGNED_BYTE, nullptr);
    if (gl_.getError() != GL_NO_ERROR) return false;
    lines_.resize(static_cast<std::size_t>(screen.width) * static_cast<std::size_t>(screen.height) * 4);
    return true;
}

void Win32GlPresenter::present(std::span<const LineSpan> spans) {
    const PixelLayout bgra;
    const auto rowBytes = static_cast<std::size_t>(screen_->width) * 4;
    gl_.bindTexture(GL_TEXTURE_2D, texture_);
    for (const LineSpan& span : spans) {
        for (std::int32_t y = span.first; y <= span.last; ++y)
            convertLine(*screen_, y, bgra, lines_.data() + static_cast<std::size_t>(y) * rowBytes);
        gl_.texSubImage2D(GL_TEXTURE_2D, 0, 0, span.first, screen_->width, span.last - span.first + 1,
                          textureLayout, GL_UNSIGNED_BYTE,
                          lines_.data() + static_cast<std::size_t>(span.first) * rowBytes);
    }
    redraw();
}

void Win32GlPresenter::redraw() {
    drawWholeTexture();
    SwapBuffers(dc_);
}

// A swap leaves the back buffer undefined, so every frame draws the whole texture, over the whole client
// area (which full screen may have made larger).
void Win32GlPresenter::drawWholeTexture() {
    RECT client{0, 0, screen_->width, screen_->height};
    GetClientRect(window_, &client);
    gl_.viewport(0, 0, client.right - client.left, client.bottom - client.top);
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

}  // namespace zopp
