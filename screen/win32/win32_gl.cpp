#include "screen/win32/win32_gl.h"

namespace zopp {

namespace {

// The library exports the whole of OpenGL 1.1 and the context calls by name.
void* entryPoint(HMODULE library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(library, name));
}

template <typename Function>
bool load(HMODULE library, Function& function, const char* name) {
    function = reinterpret_cast<Function>(entryPoint(library, name));
    return function != nullptr;
}

}  // namespace

Win32GlContext::~Win32GlContext() {
    presenter_.reset();
    if (context_ != nullptr) {
        makeCurrent_(nullptr, nullptr);
        deleteContext_(context_);
    }
    if (library_ != nullptr) FreeLibrary(library_);
}

bool Win32GlContext::start(HWND window, HDC dc, const ScreenState& screen) {
    library_ = LoadLibraryW(L"opengl32.dll");
    decltype(&wglCreateContext) createContext = nullptr;
    if (library_ == nullptr || !load(library_, createContext, "wglCreateContext") ||
        !load(library_, makeCurrent_, "wglMakeCurrent") ||
        !load(library_, deleteContext_, "wglDeleteContext"))
        return false;

    PIXELFORMATDESCRIPTOR wanted{};
    wanted.nSize = sizeof wanted;
    wanted.nVersion = 1;
    wanted.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    wanted.iPixelType = PFD_TYPE_RGBA;
    wanted.cColorBits = 24;
    wanted.iLayerType = PFD_MAIN_PLANE;
    const int format = ChoosePixelFormat(dc, &wanted);
    if (format == 0 || !SetPixelFormat(dc, format, &wanted)) return false;
    context_ = createContext(dc);
    if (context_ == nullptr || !makeCurrent_(dc, context_)) return false;
    const HMODULE library = library_;
    presenter_ = std::make_unique<GlPresenter>();
    // The drawable is the client area, which full screen may have made larger than the screen.
    return presenter_->start(
        {[library](const char* name) { return entryPoint(library, name); }, [dc] { SwapBuffers(dc); },
         [window](std::int32_t& width, std::int32_t& height) {
             RECT client{};
             GetClientRect(window, &client);
             width = client.right - client.left;
             height = client.bottom - client.top;
         }},
        screen);
}

}  // namespace zopp
